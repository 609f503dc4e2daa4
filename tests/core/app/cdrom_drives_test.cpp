#include "core/app/cdrom_drives.h"

#include <gtest/gtest.h>

namespace tovalo::app {
namespace {

TEST(CdromDrives, OpticalFileSystemsFromTheMountTable) {
    const char* table =
        "/dev/sda1 / ext4 rw,relatime 0 0\n"
        "/dev/sr0 /media/cdrom0 iso9660 ro,nosuid 0 0\n"
        "proc /proc proc rw 0 0\n"
        "/dev/sr1 /media/user/TRAINING\\040DISC udf ro 0 0\n"
        "/dev/loop0 /mnt/iso9660 ext4 rw 0 0\n"
        "broken line\n";
    EXPECT_EQ(parseCdromMounts(table),
              (std::vector<std::string>{"/media/cdrom0/", "/media/user/TRAINING DISC/"}));
    EXPECT_TRUE(parseCdromMounts("").empty());
}

TEST(CdromDrives, AtMostTwentyFiveAreKept) {
    std::vector<std::string> many;
    for (int i = 0; i < 30; ++i) {
        many.push_back("/media/cd" + std::to_string(i) + "/");
    }
    std::vector<std::string> kept = limitCdromDrives(many);
    ASSERT_EQ(kept.size(), 25u);
    EXPECT_EQ(kept.back(), "/media/cd24/");
}

}  // namespace
}  // namespace tovalo::app
