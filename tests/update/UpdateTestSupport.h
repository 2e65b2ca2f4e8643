#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/LocalUpdateServer.h"

namespace q208::test {

// A local update service with test certificates, in a folder of the test's own.
class UpdateServiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        folder_ = std::filesystem::path(::testing::TempDir()) /
                  ("q208-update-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        std::filesystem::remove_all(folder_);
        ASSERT_TRUE(TestCertificates::Make(folder_ / "tls", certs_)) << "openssl could not make the test certificates";
        server_ = std::make_unique<LocalUpdateServer>(folder_ / "server");
    }
    void TearDown() override {
        server_.reset();
        std::filesystem::remove_all(folder_);
    }
    void StartSecure() { ASSERT_TRUE(server_->Start(certs_.serverCert, certs_.serverKey)); }

    std::filesystem::path folder_;
    TestCertificates certs_;
    std::unique_ptr<LocalUpdateServer> server_;
};

}  // namespace q208::test
