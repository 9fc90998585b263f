// The filters this build implements, by name. A registered name missing here gives a filter
// whose output is none.
#include <string_view>

#include "platform/image/filters/filter_registry.h"

std::shared_ptr<CIFilter> makeColorCubeFilter(const FilterDescription&);
std::shared_ptr<CIFilter> makeToneCurveFilter(const FilterDescription&);
std::shared_ptr<CIFilter> makeVignetteFilter(const FilterDescription&);
std::shared_ptr<CIFilter> makeColorControlsFilter(const FilterDescription&);
std::shared_ptr<CIFilter> makeTemperatureAndTintFilter(const FilterDescription&);
std::shared_ptr<CIFilter> makeFaceBalanceFilter(const FilterDescription&);
std::shared_ptr<CIFilter> makeAffineTransformFilter(const FilterDescription&);
std::shared_ptr<CIFilter> makeCropFilter(const FilterDescription&);
std::shared_ptr<CIFilter> makeGaussianBlurFilter(const FilterDescription&);
std::shared_ptr<CIFilter> makeNoiseReductionFilter(const FilterDescription&);
std::shared_ptr<CIFilter> makeSourceOverFilter(const FilterDescription&);
std::shared_ptr<CIFilter> makeAreaAverageFilter(const FilterDescription&);
std::shared_ptr<CIFilter> makeExposureAdjustFilter(const FilterDescription&);
std::shared_ptr<CIFilter> makeGammaAdjustFilter(const FilterDescription&);
std::shared_ptr<CIFilter> makeLinearToSRGBFilter(const FilterDescription&);
std::shared_ptr<CIFilter> makeSRGBToLinearFilter(const FilterDescription&);
std::shared_ptr<CIFilter> makeColorMatrixFilter(const FilterDescription&);
std::shared_ptr<CIFilter> makeColorClampFilter(const FilterDescription&);
std::shared_ptr<CIFilter> makeColorPolynomialFilter(const FilterDescription&);
std::shared_ptr<CIFilter> makeColorCrossPolynomialFilter(const FilterDescription&);
std::shared_ptr<CIFilter> makeHueAdjustFilter(const FilterDescription&);
std::shared_ptr<CIFilter> makeWhitePointAdjustFilter(const FilterDescription&);
std::shared_ptr<CIFilter> makeColorMonochromeFilter(const FilterDescription&);
std::shared_ptr<CIFilter> makeSepiaToneFilter(const FilterDescription&);
std::shared_ptr<CIFilter> makeFalseColorFilter(const FilterDescription&);
std::shared_ptr<CIFilter> makeXRayFilter(const FilterDescription&);
std::shared_ptr<CIFilter> makeColorPosterizeFilter(const FilterDescription&);
std::shared_ptr<CIFilter> makeVibranceFilter(const FilterDescription&);
std::shared_ptr<CIFilter> makeColorCurvesFilter(const FilterDescription&);
std::shared_ptr<CIFilter> makeColorCubeWithColorSpaceFilter(const FilterDescription&);
std::shared_ptr<CIFilter> makeColorCubesMixedWithMaskFilter(const FilterDescription&);
std::shared_ptr<CIFilter> makeColorMapFilter(const FilterDescription&);
std::shared_ptr<CIFilter> makeVignetteEffectFilter(const FilterDescription&);
std::shared_ptr<CIFilter> makeRedEyeCorrectionFilter(const FilterDescription&);
std::shared_ptr<CIFilter> makeConvolution3X3Filter(const FilterDescription&);
std::shared_ptr<CIFilter> makeConvolution5X5Filter(const FilterDescription&);
std::shared_ptr<CIFilter> makeConvolution7X7Filter(const FilterDescription&);
std::shared_ptr<CIFilter> makeConvolution9HorizontalFilter(const FilterDescription&);
std::shared_ptr<CIFilter> makeConvolution9VerticalFilter(const FilterDescription&);
std::shared_ptr<CIFilter> makeMedianFilter(const FilterDescription&);
std::shared_ptr<CIFilter> makeStraightenFilter(const FilterDescription&);
std::shared_ptr<CIFilter> makePerspectiveCorrectionFilter(const FilterDescription&);
std::shared_ptr<CIFilter> makeStretchCropFilter(const FilterDescription&);
std::shared_ptr<CIFilter> makeSmoothLinearGradientFilter(const FilterDescription&);
std::shared_ptr<CIFilter> makeQRCodeFilter(const FilterDescription&);
std::shared_ptr<CIFilter> makeCode128BarcodeFilter(const FilterDescription&);
std::shared_ptr<CIFilter> makeAztecCodeFilter(const FilterDescription&);
std::shared_ptr<CIFilter> makePDF417BarcodeFilter(const FilterDescription&);

FilterFactory implementedFilter(std::string_view name) {
    struct Entry {
        std::string_view name;
        FilterFactory factory;
    };
    static constexpr Entry kImplemented[] = {
        {"CIColorCube", makeColorCubeFilter},
        {"CIToneCurve", makeToneCurveFilter},
        {"CIVignette", makeVignetteFilter},
        {"CIColorControls", makeColorControlsFilter},
        {"CITemperatureAndTint", makeTemperatureAndTintFilter},
        {"CIFaceBalance", makeFaceBalanceFilter},
        {"CIAffineTransform", makeAffineTransformFilter},
        {"CICrop", makeCropFilter},
        {"CIGaussianBlur", makeGaussianBlurFilter},
        {"CINoiseReduction", makeNoiseReductionFilter},
        {"CISourceOverCompositing", makeSourceOverFilter},
        {"CIAreaAverage", makeAreaAverageFilter},
        {"CIExposureAdjust", makeExposureAdjustFilter},
        {"CIGammaAdjust", makeGammaAdjustFilter},
        {"CILinearToSRGBToneCurve", makeLinearToSRGBFilter},
        {"CISRGBToneCurveToLinear", makeSRGBToLinearFilter},
        {"CIColorMatrix", makeColorMatrixFilter},
        {"CIColorClamp", makeColorClampFilter},
        {"CIColorPolynomial", makeColorPolynomialFilter},
        {"CIColorCrossPolynomial", makeColorCrossPolynomialFilter},
        {"CIHueAdjust", makeHueAdjustFilter},
        {"CIWhitePointAdjust", makeWhitePointAdjustFilter},
        {"CIColorMonochrome", makeColorMonochromeFilter},
        {"CISepiaTone", makeSepiaToneFilter},
        {"CIFalseColor", makeFalseColorFilter},
        {"CIXRay", makeXRayFilter},
        {"CIColorPosterize", makeColorPosterizeFilter},
        {"CIVibrance", makeVibranceFilter},
        {"CIColorCurves", makeColorCurvesFilter},
        {"CIColorCubeWithColorSpace", makeColorCubeWithColorSpaceFilter},
        {"CIColorCubesMixedWithMask", makeColorCubesMixedWithMaskFilter},
        {"CIColorMap", makeColorMapFilter},
        {"CIVignetteEffect", makeVignetteEffectFilter},
        {"CIRedEyeCorrection", makeRedEyeCorrectionFilter},
        {"CIConvolution3X3", makeConvolution3X3Filter},
        {"CIConvolution5X5", makeConvolution5X5Filter},
        {"CIConvolution7X7", makeConvolution7X7Filter},
        {"CIConvolution9Horizontal", makeConvolution9HorizontalFilter},
        {"CIConvolution9Vertical", makeConvolution9VerticalFilter},
        {"CIMedianFilter", makeMedianFilter},
        {"CIStraightenFilter", makeStraightenFilter},
        {"CIPerspectiveCorrection", makePerspectiveCorrectionFilter},
        {"CIStretchCrop", makeStretchCropFilter},
        {"CISmoothLinearGradient", makeSmoothLinearGradientFilter},
        {"CIQRCodeGenerator", makeQRCodeFilter},
        {"CICode128BarcodeGenerator", makeCode128BarcodeFilter},
        {"CIAztecCodeGenerator", makeAztecCodeFilter},
        {"CIPDF417BarcodeGenerator", makePDF417BarcodeFilter},
    };
    for (const auto& e : kImplemented)
        if (e.name == name) return e.factory;
    return nullptr;
}
