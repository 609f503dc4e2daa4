#pragma once

#include <QtPlugin>
#include <string>

#include "core/update/zip_archive.h"

namespace tovalo::platform {

// What the unpacking module (tovalo_unzip) offers: libzip's entry reader.
class ZipEntryReaderModule {
  public:
    virtual ~ZipEntryReaderModule() = default;
    virtual update::EntryReader reader() = 0;
};

}  // namespace tovalo::platform

#define TovaloZipEntryReaderModule_iid "jp.tovalo.ZipEntryReaderModule/1"
Q_DECLARE_INTERFACE(tovalo::platform::ZipEntryReaderModule, TovaloZipEntryReaderModule_iid)
