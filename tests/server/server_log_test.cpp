#include "server_log.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "temp_dir.h"

namespace dravo {
namespace {

std::string read_all(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// "UTC0" reads as UTC in the POSIX and the Windows C runtime alike.
class UtcZone : public ::testing::Test {
protected:
    void SetUp() override { tzset(); }
    void TearDown() override {
        utc_.reset();
        tzset();
    }
    std::optional<test::ScopedEnv> utc_{std::in_place, "TZ", "UTC0"};
};

TEST_F(UtcZone, StampsHaveBothFormsAndPadTwoDigitFields) {
    std::time_t t = 1767622029;  // 2026-01-05 14:07:09 UTC
    EXPECT_EQ(time_stamp("", t), "[Jan 05 2026, 14:07:09]");
    EXPECT_EQ(time_stamp("[HH:MM:SS]", t), "[14:07:09]");
    EXPECT_EQ(time_stamp("%H", t), "");
    EXPECT_EQ(time_stamp("", 1772874303), "[Mar 07 2026, 09:05:03]");
    EXPECT_EQ(time_stamp("", 1798761599), "[Dec 31 2026, 23:59:59]");
}

TEST_F(UtcZone, StampOfZeroIsNow) {
    std::time_t before = std::time(nullptr);
    std::string now = time_stamp("", 0);
    std::time_t after = std::time(nullptr);
    EXPECT_TRUE(now == time_stamp("", before) || now == time_stamp("", after)) << now;
}

TEST(ServerLog, LinesAreAppendedInOrderWithCrLf) {
    auto dir = std::filesystem::temp_directory_path() / ("dravo_log_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    auto path = dir / "gen_dravo_srv.log";
    std::filesystem::remove(path);
    ServerLog log(path.string());
    log.log_error("Error: Receive() returned 10054");
    log.log_error("Error: Send() returned 10053");
    std::string text = read_all(path);
    auto first_end = text.find("\r\n");
    ASSERT_NE(first_end, std::string::npos);
    std::string first = text.substr(0, first_end);
    std::string second = text.substr(first_end + 2);
    EXPECT_EQ(first.substr(0, 1), "[");
    EXPECT_EQ(first.substr(first.size() - 32), "]Error: Receive() returned 10054");
    EXPECT_EQ(second.substr(second.size() - 31), "]Error: Send() returned 10053\r\n");
    EXPECT_EQ(first.size(), 23u + 31u);  // long stamp, then the text with nothing between

    // The file may vanish while the server runs: the next line creates it afresh.
    std::filesystem::remove(path);
    log.log_error("x");
    EXPECT_EQ(read_all(path).size(), 23u + 1u + 2u);
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace dravo
