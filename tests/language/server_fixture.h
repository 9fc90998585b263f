// A fresh sandbox and bundle whose download host is a local server started by the test, with the
// language services registered, a device language, and helpers for pages and files.
#pragma once

#include <atomic>
#include <filesystem>

#include "foundation/language_service.h"
#include "foundation/service_factory.h"
#include "language/language_services.h"
#include "platform/net/url_request.h"
#include "tests/foundation/temp_sandbox.h"
#include "tests/support/local_server.h"
#include "tests/support/run_loop_pump.h"
#include "tests/support/same_text.h"

class FixedDeviceLanguage : public LanguageService {
public:
    std::optional<std::string> getDevice() override { return "fi"; }
    std::optional<std::string> getLabel_iso639_2(std::string_view) override { return std::nullopt; }
    std::optional<std::string> getName(std::string_view) override { return std::nullopt; }
    std::optional<std::string> get_iso_639_1_from_iso639_2(std::string_view) override { return std::nullopt; }
};

class ServerFixture : public TempSandboxTest {
protected:
    // Routes are added by the test's SetUp before start().
    void SetUp() override {
        TempSandboxTest::SetUp();
        registerLanguageServices();
        ServiceFactory<LanguageService>::registerMaker([] { return std::make_shared<FixedDeviceLanguage>(); });
    }
    void start() {
        server_.start();
        writeFile("bundle/Info.plist", "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\"><dict>"
                                       "<key>CFBundleDisplayName</key><string>Korva</string>"
                                       "<key>CFBundleShortVersionString</key><string>2.5</string>"
                                       "<key>KorvaDownloadHost</key><string>" +
                                           server_.url("") +
                                           "/</string>"
                                           "</dict></plist>");
        NSBundle::setMainBundleRoot(pathOf("bundle"));
    }
    void TearDown() override {
        gate_ = true;
        server_.stop();
        RunLoop::main().drainAll();
        NSURLRequest::setDefaultTimeoutInterval(60.0);
        ServiceFactory<AddrService>::registerMaker(nullptr);
        ServiceFactory<UploadService>::registerMaker(nullptr);
        ServiceFactory<DownloadService>::registerMaker(nullptr);
        ServiceFactory<LanguageService>::registerMaker(nullptr);
        TempSandboxTest::TearDown();
    }

    static std::string text(const std::optional<Bytes>& data) {
        return data ? std::string(data->begin(), data->end()) : "<none>";
    }
    static Bytes bytes(std::string_view s) { return Bytes(s.begin(), s.end()); }
    static std::string refusedURL() { return "http://127.0.0.1:" + std::to_string(LocalServer::closedPort()) + "/"; }

    LocalServer server_;
    std::atomic<bool> gate_{false};
};
