// The settings screens' fixture: a phone screen and key window on the virtual clock, a fresh data
// and bundle folder whose download host is the maker's local server, the toolkit and language
// services with the device language "fi", and helpers for the presented controllers.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "foundation/global.h"
#include "foundation/net_services.h"
#include "foundation/service_factory.h"
#include "language/language_code.h"
#include "language/language_services.h"
#include "platform/dispatch/queue.h"
#include "platform/text/ns_locale.h"
#include "platform/ui/controller/ui_alert_controller.h"
#include "tests/platform/ui/controller_test_support.h"
#include "tests/support/maker_server.h"
#include "tests/support/run_loop_pump.h"
#include "tests/support/temp_app_folders.h"
#include "ui/ui_services.h"

struct SettingsScreenTest : UIHarness {
    void SetUp() override {
        UIHarness::SetUp();
        maker.start();
        NSLocale::setPreferredLanguagesForTesting(std::vector<std::string>{"fi-FI"});
        folders.create("korva-settings", "<key>CFBundleDisplayName</key><string>Korva</string>"
                                         "<key>CFBundleShortVersionString</key><string>2.5</string>"
                                         "<key>KorvaDownloadHost</key><string>" +
                                             maker.host() + "</string>");
        registerUIServices();
        registerLanguageServices();
        registerPicsAndFilesHost();
        UIApplication::sharedApplication()->setURLOpener([](const std::string&) { return true; });
    }
    void TearDown() override {
        maker.stop();
        DispatchQueue::waitUntilBackgroundIdle();
        RunLoop::main().runUntilIdle();
        UIHarness::TearDown();
        folders.remove();
        NSLocale::setPreferredLanguagesForTesting(std::nullopt);
        ServiceFactory<LanguageService>::registerMaker(nullptr);
    }
    std::shared_ptr<Global> global() const { return Global::shared(); }
    std::shared_ptr<LanguageCode> languages() const {
        return std::dynamic_pointer_cast<LanguageCode>(global()->lcode());
    }
    // The controller presented last (through the app's stack), once presentation has run.
    template <class T>
    std::shared_ptr<T> presented() {
        settle();
        auto& stack = global()->lastViewControllers();
        return stack.empty() ? nullptr : std::dynamic_pointer_cast<T>(stack.back());
    }
    void writeFile(const std::string& relative, std::string_view text) const { folders.writeFile(relative, text); }

    MakerServer maker;
    TempAppFolders folders;
};
