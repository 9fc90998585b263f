// Standard dialogs with one call: a message with OK, a yes/no question, a one-line prompt, action
// sheets from button descriptions, the share sheet, mail and social composers, device-owner
// authentication, a toast over the controller's view and the app's page in the system settings.
//
// Every dialog is presented through present() and every button closes it through dismiss(), so
// each takes one entry off the presented-controller stack again; a share sheet that finishes by
// itself takes its own entry off. Button titles are shown as they stand, except the "Cancel" the
// sheet shortcuts append, which is looked up. Main-thread only.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/runtime/value.h"
#include "platform/ui/input/text_input_traits.h"

class NSObject;
class UIViewController;
class UIAlertController;
class UIImage;
class MFMailComposeViewControllerDelegate;
enum class UIAlertActionStyle;

using ControllerPtr = std::shared_ptr<UIViewController>;
using AlertPtr = std::shared_ptr<UIAlertController>;
using Callback = std::function<void()>;
// A view, a bar button item or the shared edit menu; anything else sets no anchor.
using Anchor = std::shared_ptr<NSObject>;
using Images = std::vector<std::shared_ptr<UIImage>>;

// One sheet button: a title ("d|" destructive, "c|" cancel, the prefix not shown; "Cancel" and
// "Close" exactly are cancel buttons too) and what it does, if anything.
struct SheetButton {
    std::string title;
    Callback action;
};
// The style and shown title of a sheet button's title.
std::pair<UIAlertActionStyle, std::string> sheetButtonStyle(const std::string& title);

AlertPtr alert(const ControllerPtr& receiver, const std::string& message, Callback onOK);
AlertPtr confirm(const ControllerPtr& receiver, const std::string& message, Callback onYes, Callback onNo);
AlertPtr confirmText(const ControllerPtr& receiver, const std::string& message, const std::string& textYes,
                     Callback onYes, const std::string& textNo, Callback onNo);
using TextCallback = std::function<void(const std::string&)>;
// With a clear button that always shows.
AlertPtr prompt(const ControllerPtr& receiver, const std::string& message, const std::string& placeholder,
                const std::string& initial, TextCallback onOK, Callback onCancel);
// Plain entry (no correction, capitals or clear button) with the keyboard type and a Done key.
AlertPtr prompt(const ControllerPtr& receiver, const std::string& message, const std::string& placeholder,
                const std::string& initial, UIKeyboardType keyboardType, TextCallback onOK, Callback onCancel);

// An action sheet (on a tablet: a popover at the anchor, or a centred alert without one). A sheet
// has one cancel button at most: later cancel-style buttons become default ones.
AlertPtr act(const ControllerPtr& receiver, const std::string& message, const std::vector<SheetButton>& buttons,
             const Anchor& source);
// The buttons and a looked-up "Cancel", unless the last title is "Cancel".
AlertPtr actButtons(const ControllerPtr& receiver, const std::string& message, std::vector<SheetButton> buttons,
                    const Anchor& source);
// The buttons and "Close", unless the last title is "Close".
AlertPtr closeButtons(const ControllerPtr& receiver, const std::string& message, std::vector<SheetButton> buttons,
                      const Anchor& source);
inline AlertPtr act1(const ControllerPtr& r, const std::string& m, SheetButton b0, const Anchor& s) {
    return actButtons(r, m, {std::move(b0)}, s);
}
inline AlertPtr act2(const ControllerPtr& r, const std::string& m, SheetButton b0, SheetButton b1, const Anchor& s) {
    return actButtons(r, m, {std::move(b0), std::move(b1)}, s);
}
inline AlertPtr act3(const ControllerPtr& r, const std::string& m, SheetButton b0, SheetButton b1, SheetButton b2,
                     const Anchor& s) {
    return actButtons(r, m, {std::move(b0), std::move(b1), std::move(b2)}, s);
}
inline AlertPtr act4(const ControllerPtr& r, const std::string& m, SheetButton b0, SheetButton b1, SheetButton b2,
                     SheetButton b3, const Anchor& s) {
    return actButtons(r, m, {std::move(b0), std::move(b1), std::move(b2), std::move(b3)}, s);
}
inline AlertPtr act5(const ControllerPtr& r, const std::string& m, SheetButton b0, SheetButton b1, SheetButton b2,
                     SheetButton b3, SheetButton b4, const Anchor& s) {
    return actButtons(r, m, {std::move(b0), std::move(b1), std::move(b2), std::move(b3), std::move(b4)}, s);
}
inline AlertPtr act6(const ControllerPtr& r, const std::string& m, SheetButton b0, SheetButton b1, SheetButton b2,
                     SheetButton b3, SheetButton b4, SheetButton b5, const Anchor& s) {
    return actButtons(r, m, {std::move(b0), std::move(b1), std::move(b2), std::move(b3), std::move(b4), std::move(b5)},
                      s);
}
inline AlertPtr close1(const ControllerPtr& r, const std::string& m, SheetButton b0, const Anchor& s) {
    return closeButtons(r, m, {std::move(b0)}, s);
}
inline AlertPtr close2(const ControllerPtr& r, const std::string& m, SheetButton b0, SheetButton b1, const Anchor& s) {
    return closeButtons(r, m, {std::move(b0), std::move(b1)}, s);
}

// The share sheet for the items; the completion hears whether an activity was performed. Mail
// chosen from it that did not leave is told with mailFailed().
void activity(const ControllerPtr& receiver, const Anchor& sender, const std::string& subject,
              const std::vector<Value>& items, std::function<void(bool)> completion);
// Shares the app's tag line, the text (when not empty) and the images.
void etc(const ControllerPtr& receiver, const std::string& text, const Images& images, const Anchor& sender);
// The mail composer with the images attached as "image_1.jpg", ...; an alert when no mail can be sent.
void mail(const ControllerPtr& receiver, const std::string& text, const Images& images,
          const std::shared_ptr<MFMailComposeViewControllerDelegate>& delegate);
// Tells the user that mail did not leave: "Unable to send Mail", then ". Address: " and the
// address it was for (when there is one) and the reason after a blank line (when known), so that
// they know what to mend. Composers' delegates and the share sheet's Mail report through it.
AlertPtr mailFailed(const ControllerPtr& receiver, const std::string& address, const std::string& reason);
void twitter(const ControllerPtr& receiver, const std::string& text, const Images& images);
void facebook(const ControllerPtr& receiver, const std::string& text, const Images& images);
// Device-owner authentication; a device that cannot evaluate it counts as passed. The results
// arrive on the main queue.
void auth(const std::string& reason, Callback onSuccess, Callback onFail);
// A toast at the top of the controller's view in inverted colours.
void toast0(const ControllerPtr& receiver, const std::string& message, double duration);
void toast(const ControllerPtr& receiver, const std::string& message);
void openDeviceSettings();
