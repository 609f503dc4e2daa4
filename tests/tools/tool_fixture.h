#pragma once

// Runs the built tovalo-tool in a scratch folder and keeps what it said.

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "common/temp_tree.h"
#include "core/questions/qdf_builder.h"

struct ToolRun {
    int code = -1;
    std::string out;
    std::string err;
};

class ToolTest : public ::testing::Test {
  protected:
    std::string write(const std::string& name, const std::string& bytes) {
        return tree_.write(name, bytes);
    }
    std::string read(const std::string& path) {
        std::stringstream ss;
        ss << std::ifstream(path, std::ios::binary).rdbuf();
        return ss.str();
    }

    ToolRun tool(const std::string& args) {
        const std::string errPath = tree_.path("stderr.txt");
        const std::string cmd = std::string(TOVALO_TOOL) + " " + args + " 2>" + errPath;
        ToolRun r;
        FILE* p = ::popen(cmd.c_str(), "r");
        std::array<char, 4096> buf;
        std::size_t n;
        while ((n = std::fread(buf.data(), 1, buf.size(), p)) > 0) {
            r.out.append(buf.data(), n);
        }
        const int status = ::pclose(p);
        r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.err = read(errPath);
        return r;
    }

    QdfBuilder course() {
        QdfBuilder::Record a;
        a.question = {"<INCLUDE IMG>@net.jpg", "IPv4 アドレスの長さは？"};
        a.choices = {"32ビット", "64ビット", "128ビット", "16ビット"};
        QdfBuilder::Record b;
        b.num = 2;
        b.sub = 2;
        b.closing = "*EOF";
        QdfBuilder q;
        q.header("QFileFormat-x2.0", "20261201      N", "2")
            .category("ネットワーク", {"アドレス", "ルーティング"})
            .plain("*CE")
            .record(a)
            .record(b);
        return q;
    }

    TempTree tree_;
    const std::filesystem::path dir_{tree_.path()};
};
