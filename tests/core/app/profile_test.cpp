#include "core/app/profile.h"

#include <gtest/gtest.h>

#include "core/platform/doubles.h"

namespace tovalo::app {
namespace {

Profile named(const std::string& name) {
    Profile p;
    p.name = name;
    return p;
}

TEST(Profile, ANameOfBlanksIsNoName) {
    EXPECT_FALSE(Profile{}.registered());
    EXPECT_FALSE(named("   ").registered());
    EXPECT_FALSE(named(" \t ").registered());
    EXPECT_TRUE(named(" 山田 ").registered());
    // A full-width space is a character, not a blank.
    EXPECT_TRUE(named("\u3000").registered());

    Status empty = validateRegistration("");
    ASSERT_FALSE(empty.ok());
    EXPECT_EQ(empty.error().message, "名前を入力してください。");
    EXPECT_FALSE(validateRegistration("  ").ok());
    EXPECT_TRUE(validateRegistration("山田 太郎").ok());
}

TEST(Profile, RegistrationIsStoredAndReadBack) {
    platform::MemorySettingsStore store;
    store.values["Serial"] = "S-123";
    EXPECT_FALSE(readProfile(store).registered());

    writeRegistration(store, "山田 太郎", "開発部", "taro@example.jp", "/opt/tovalo");
    EXPECT_EQ(store.values.at("Name"), "山田 太郎");
    EXPECT_EQ(store.values.at("Org"), "開発部");
    EXPECT_EQ(store.values.at("Email"), "taro@example.jp");
    EXPECT_EQ(store.values.at("Path"), "/opt/tovalo");

    Profile p = readProfile(store);
    EXPECT_TRUE(p.registered());
    EXPECT_EQ(p.name, "山田 太郎");
    EXPECT_EQ(p.org, "開発部");
    EXPECT_EQ(p.email, "taro@example.jp");
    EXPECT_EQ(p.serial, "S-123");
}

TEST(ProfileCountdown, HandsOverAfterMoreThanFiftyTicksAndBlinksEveryFifth) {
    ProfileCountdown countdown;
    int toggles = 0;
    for (int i = 1; i <= 50; ++i) {
        ProfileCountdown::Tick t = countdown.tick();
        ASSERT_FALSE(t.handOver) << "tick " << i;
        EXPECT_EQ(t.toggleLink, i % 5 == 0) << "tick " << i;
        toggles += t.toggleLink ? 1 : 0;
    }
    EXPECT_EQ(toggles, 10);
    EXPECT_TRUE(countdown.tick().handOver);

    countdown.reset();
    EXPECT_EQ(countdown.ticks(), 0);
    EXPECT_FALSE(countdown.tick().handOver);
}

}  // namespace
}  // namespace tovalo::app
