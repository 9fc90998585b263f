// "CIQRCodeGenerator": inputMessage (data) as a QR code at inputCorrectionLevel ("L", "M", "Q"
// or "H"), one pixel per module with one light module of margin. Messages too long for the
// largest symbol, or an unknown level, give no output.
#include "platform/image/filters/filter_kit.h"
#include "platform/image/filters/generator/qr_encoder.h"

namespace {

std::shared_ptr<CIImage> qrCode(const CIFilter& f) {
    std::vector<std::uint8_t> message;
    if (!messageBytes(f.valueForKey("inputMessage"), message)) return nullptr;
    const Value lv = f.valueForKey("inputCorrectionLevel");
    const std::string level = lv.isString() ? lv.stringValue() : "M";
    QRCorrection c;
    if (level == "L")
        c = QRCorrection::L;
    else if (level == "M")
        c = QRCorrection::M;
    else if (level == "Q")
        c = QRCorrection::Q;
    else if (level == "H")
        c = QRCorrection::H;
    else
        return nullptr;
    auto symbol = encodeQR(message, c);
    if (!symbol) return nullptr;
    return imageOfModules(*symbol, 1, 1);
}

}  // namespace

std::shared_ptr<CIFilter> makeQRCodeFilter(const FilterDescription& d) {
    return makeFunctionFilter<qrCode>(d);
}
