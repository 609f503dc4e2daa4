#include "server/console/security.h"

#include <gtest/gtest.h>

namespace tovalo::server::console {
namespace {

// A session lasts as long as it is used within the idle time, and a
// cookie's clock cannot be moved by whoever holds it.
TEST(ConsoleSessions, EndAfterTheIdleTimeAndOnlyWithTheirOwnSignature) {
    const Sessions sessions("secret of this server group", std::chrono::seconds(600));
    Session s = Sessions::fresh(1'000'000);
    s.staffId = 7;
    s.epoch = 2;
    const std::string cookie = sessions.encode(s);

    struct Case {
        const char* what;
        std::string cookie;
        std::int64_t now;
        bool valid;
    };
    std::string laterClock = cookie;
    laterClock.replace(laterClock.find(".1000000.") + 1, 7, "1000599");
    const std::vector<Case> cases = {
        {"used within the idle time", cookie, 1'000'600, true},
        {"idle longer", cookie, 1'000'601, false},
        {"written by another server group",
         Sessions("another secret", std::chrono::seconds(600)).encode(s), 1'000'001, false},
        {"its time moved on by the holder", laterClock, 1'001'000, false},
        {"from a clock far ahead of ours", cookie, 999'000, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::optional<Session> read = sessions.decode(c.cookie, c.now);
        ASSERT_EQ(read.has_value(), c.valid);
        if (read) {
            EXPECT_EQ(read->staffId, 7);
            EXPECT_EQ(read->epoch, 2);
            EXPECT_EQ(read->lastSeen, c.now);  // the answer renews it
        }
    }
}

}  // namespace
}  // namespace tovalo::server::console
