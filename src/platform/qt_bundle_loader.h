#pragma once

#include <QPixmap>
#include <QString>
#include <map>

#include "core/platform/bundle_loader.h"

namespace tovalo::platform {

// Vendor bundles are Qt binary resource files. Each is mapped under its own
// root, ":/vendor<slot>/", so any number can be loaded side by side; inside a
// bundle the string table is "strings.txt" and the pictures are "<id>.png".
class QtBundleLoader : public BundleLoader {
  public:
    ~QtBundleLoader() override;

    Result<std::string> load(const std::string& file, int slot) override;
    void unload(int slot) override;

    static QString resourceRoot(int slot);
    static QString picturePath(int slot, int id);
    // A null pixmap when the bundle has no such picture.
    static QPixmap picture(int slot, int id);

  private:
    std::map<int, QString> loaded_;  // slot -> file
};

}  // namespace tovalo::platform
