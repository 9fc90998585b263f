// The photo editor's save: the full-size recipe built on the main thread, rendered and encoded a
// strip at a time and given its metadata on a "save" queue of its own, then written to the
// library. The save owns what it needs, so the photo is written whether or not the editor is
// still shown when the render ends. Any failure on the way is logged with its reason and, while
// the editor is there, hides the HUD, forgets the pending result animation and says the photo was
// not saved, and why; the library keeps nothing of it.
#include <algorithm>

#include "editor/photo/edit_controller.h"
#include "editor/photo/edit_photo_rules.h"
#include "filter/ci_image_filter.h"
#include "filter/filter_context.h"
#include "filter/filter_my_element.h"
#include "filter/strip_jpeg.h"
#include "foundation/data_custom_photos.h"
#include "foundation/date_tools.h"
#include "foundation/global.h"
#include "foundation/mutable_dictionary_custom.h"
#include "platform/dispatch/exit_hold.h"
#include "platform/dispatch/queue.h"
#include "platform/image/ci_context.h"
#include "platform/image/ci_image.h"
#include "platform/image/codec/image_data.h"
#include "platform/runtime/log.h"
#include "ui/controller/view_controller_dialogs.h"
#include "ui/popup/hud_view.h"

namespace {

constexpr const char* kLog = "editor";
constexpr const char* kDateTimeFormat = "yyyy:MM:dd HH:mm:ss";

struct SaveJob {
    std::shared_ptr<CIImage> recipe;
    CGRect rect{};
    std::shared_ptr<CIContext> context;
    Bytes original;
    std::string software, dateTime;
};

// Renders and encodes the recipe once and gives the JPEG the original's metadata; runs on the
// save queue and touches nothing but the job.
Result<Bytes> renderSave(const SaveJob& job) {
    // A strip at a time: the full-size picture is never held whole beside its decoded source.
    auto encoded = jpegInStrips(job.recipe, job.rect, *job.context);
    if (!encoded) return fail("the filtered photo could not be rendered or encoded: " + encoded.error());
    // The size actually written: a photo over the context's maximum is saved scaled to fit.
    auto info = readImageInfo(*encoded);
    if (!info) return fail("the encoded photo does not read back: " + info.error());
    Value saved = editSavedMetadata(getMetadata(job.original), {CGFloat(info->width), CGFloat(info->height)},
                                    job.software, job.dateTime);
    Value own = getMetadata(*encoded);
    ValueDictionary merged = own.isDictionary() ? ValueDictionary(*own.dictionaryPtr()) : ValueDictionary();
    overwrite(merged, *saved.dictionaryPtr());
    auto final = setMetadata(*encoded, Value(std::move(merged)));
    if (!final) return fail("the photo's metadata could not be written");
    return std::move(*final);
}

}  // namespace

void EditController::onSave() {
    if (!currentElement_) {
        alert(self<EditController>(), kNoFilter, [] {});
        return;
    }
    // Nothing is saved from a photo that never decoded, nor twice at once.
    if (!data_ || saving_) return;
    saving_ = true;
    hudView()->show();
    Log::debug(kLog, "saving the edited photo");

    ValueDictionary options;
    options.set(kCIImageApplyOrientationProperty, Value(true));
    auto source = CIImage::imageWithData(*data_, options);
    if (!source) return saveFailed(self<EditController>(), "the photo does not decode");
    SaveJob job;
    job.rect = source->extent();
    job.recipe = currentElement_->make(source);
    if (isDrawable(job.recipe)) job.rect = job.recipe->extent();
    auto ctx = context();
    job.context = editSavesOnGPU(imageSize_, ctx->ciGPU()->inputImageMaximumSize()) ? ctx->ciGPU() : ctx->ciCPU();
    job.original = *data_;
    job.software = Global::shared()->appName();
    job.dateTime = DateExtras::formattedDateWithFormat(DateExtras::now(), kDateTimeFormat);

    // The library write starts from the save queue too, so neither a closed editor nor the end of
    // the program's loop keeps the photo from the library; the editor hears of it on the main
    // queue, first that the photo is on its way, then how the write went.
    // The end of the program waits for the write, and names the photo if it cannot.
    std::weak_ptr<EditController> weak = self<EditController>();
    auto queue = dispatch_queue_create(kSaveQueue);
    dispatch_async(queue, [weak, job = std::move(job), hold = ExitHold::make("the edited photo")] {
        auto rendered = renderSave(job);
        if (!rendered)
            return dispatch_async(dispatch_get_main_queue(), [weak, why = rendered.error()] { saveFailed(weak, why); });
        dispatch_async(dispatch_get_main_queue(), [weak] { saveRendered(weak); });
        savePhotoToLibrary(*rendered, [weak, hold](Result<void> saved) {
            if (!saved) return saveFailed(weak, saved.error());
            if (auto me = weak.lock()) me->saving_ = false;
        });
    });
}

void EditController::saveRendered(const std::weak_ptr<EditController>& weak) {
    auto me = weak.lock();
    if (!me) return;
    // Set before the library's change arrives, which this block is queued ahead of.
    me->actShowResultImage_ = true;
    me->hudView()->hide();
    me->updateView();
}

void EditController::saveFailed(const std::weak_ptr<EditController>& weak, const std::string& why) {
    Log::warning(kLog, "photo not saved: " + why);
    auto me = weak.lock();
    if (!me) return;
    me->saving_ = false;
    me->actShowResultImage_ = false;
    me->hudView()->hide();
    // As the camera screen says it: the heading, then why (the library names the photo's file).
    alert(me, std::string(kNotSaved) + "\n" + why, [] {});
}
