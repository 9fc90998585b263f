// A fixture for pictures named by web addresses: a temporary sandbox, a fresh picture cache and a
// local server whose "/picture.png" (a 5 x 2 PNG) is held until the test sets `released_`, so a
// caller that waited for it would be caught; "/missing.png" answers 404.
#pragma once

#include <atomic>
#include <string>

#include "foundation/global.h"
#include "foundation/pics.h"
#include "platform/ui/draw/graphics.h"
#include "platform/ui/draw/image.h"
#include "tests/foundation/temp_sandbox.h"
#include "tests/support/local_server.h"

class HeldPictureTest : public TempSandboxTest {
protected:
    void SetUp() override {
        TempSandboxTest::SetUp();
        UIGraphicsBeginImageContextWithOptions(CGSize{5, 2}, false, 1);
        auto image = UIGraphicsGetImageFromCurrentImageContext();
        UIGraphicsEndImageContext();
        Bytes png = UIImagePNGRepresentation(image).value();
        server_.routes().Get("/picture.png", [this, png](const httplib::Request&, httplib::Response& res) {
            while (!released_) server_.pause(0.01);
            ++hits_;
            res.set_content(std::string(png.begin(), png.end()), "image/png");
        });
        server_.routes().Get("/missing.png", [](const httplib::Request&, httplib::Response& res) { res.status = 404; });
        server_.start();
        Global::shared()->setPics(Pics::make());
    }

    LocalServer server_;
    std::atomic<bool> released_{false};
    std::atomic<int> hits_{0};
};
