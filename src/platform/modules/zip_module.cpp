// The unpacking module: libzip's entry reader, for the program.
#include <QObject>

#include "platform/zip_entry_reader.h"
#include "platform/zip_module.h"

namespace tovalo::platform {

class ZipModule : public QObject, public ZipEntryReaderModule {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID TovaloZipEntryReaderModule_iid)
    Q_INTERFACES(tovalo::platform::ZipEntryReaderModule)

  public:
    update::EntryReader reader() override { return &readZipEntry; }
};

}  // namespace tovalo::platform

#include "zip_module.moc"
