#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "common/temp_tree.h"
#include "server/store/schema.h"
#include "server/store/store.h"

// The cases every implementation of the store must pass. An implementation
// joins them with one line:
//   INSTANTIATE_TEST_SUITE_P(Name, StoreConformance, ::testing::Values(kind), kindName);
namespace tovalo::server::store::testing {

struct StoreKind {
    std::string name;
    // Opens the store kept under the folder `dir`, empty the first time;
    // called again with the same folder, it opens what was stored there.
    std::function<Result<std::unique_ptr<Store>>(const std::string& dir)> open;
    // Opens what Store::backup wrote at `path` as a store.
    std::function<Result<std::unique_ptr<Store>>(const std::string& path)> openBackup;
};

void PrintTo(const StoreKind& kind, std::ostream* out);
std::string kindName(const ::testing::TestParamInfo<StoreKind>& info);

// This release's migration steps followed by `later`: how tests play a
// release after this one.
std::vector<Migration> releaseWith(std::vector<Migration> later);

class StoreConformance : public ::testing::TestWithParam<StoreKind> {
  protected:
    void SetUp() override;
    // Closes the store and opens it again from its folder.
    void reopen();

    TempTree tree_;
    std::unique_ptr<Store> store_;
};

}  // namespace tovalo::server::store::testing
