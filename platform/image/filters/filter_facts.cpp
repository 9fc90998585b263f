// The table of filter facts (generated from the public attribute data; edit with care).
#include "platform/image/filters/filter_facts.h"

namespace {

constexpr Fact none() {
    return {};
}
constexpr Fact num(double v) {
    return {FactKind::Number, v, nullptr, 0, nullptr};
}
template <std::size_t N>
constexpr Fact vec(const double (&v)[N]) {
    return {FactKind::Vector, 0, v, N, nullptr};
}
constexpr Fact str(const char* s) {
    return {FactKind::String, 0, nullptr, 0, s};
}

constexpr double kV0[] = {0, 0, 0, 1, 1, 0, 0, 1, 0, 1, 0, 1, 1, 1, 0, 1,
                          0, 0, 1, 1, 1, 0, 1, 1, 0, 1, 1, 1, 1, 1, 1, 1};
constexpr double kV1[] = {0, 0};
constexpr double kV2[] = {0.25, 0.25};
constexpr double kV3[] = {0.5, 0.5};
constexpr double kV4[] = {0.75, 0.75};
constexpr double kV5[] = {1, 1};
constexpr double kV6[] = {150, 150};
constexpr double kV7[] = {1, 0, 0, 1, 0, 0};
constexpr double kV8[] = {-8.98847e+307, -8.98847e+307, 1.79769e+308, 1.79769e+308};
constexpr double kV9[] = {0, 0, 640, 80};
constexpr double kV10[] = {200, 200};
constexpr double kV11[] = {1, 1, 1, 1};
constexpr double kV12[] = {0, 0, 0, 1};
constexpr double kV13[] = {118, 484};
constexpr double kV14[] = {646, 507};
constexpr double kV15[] = {548, 140};
constexpr double kV16[] = {155, 153};
constexpr double kV17[] = {0, 1, 0, 0};
constexpr double kV18[] = {1, 0, 0, 0, 0, 0, 0, 0, 0, 0};
constexpr double kV19[] = {0, 1, 0, 0, 0, 0, 0, 0, 0, 0};
constexpr double kV20[] = {0, 0, 1, 0, 0, 0, 0, 0, 0, 0};
constexpr double kV21[] = {0.6, 0.45, 0.3, 1};
constexpr double kV22[] = {0.3, 0, 0, 1};
constexpr double kV23[] = {1, 0.9, 0.8, 1};
constexpr double kV24[] = {0, 0, 0, 0.5, 0.5, 0.5, 1, 1, 1};
constexpr double kV25[] = {0, 1};
constexpr double kV26[] = {1280, 720};
constexpr double kV27[] = {0, 0, 0, 0};
constexpr double kV28[] = {1, 0, 0, 0};
constexpr double kV29[] = {0, 0, 1, 0};
constexpr double kV30[] = {0, 0, 0, 0, 1, 0, 0, 0, 0};
constexpr double kV31[] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
constexpr double kV32[] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1,
                           0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
constexpr double kV33[] = {6500, 0};

constexpr const char* kCats_CIColorCube[] = {"CICategoryColorEffect", "CICategoryVideo",
                                             "CICategoryInterlaced",  "CICategoryNonSquarePixels",
                                             "CICategoryStillImage",  "CICategoryBuiltIn"};
constexpr FactInput kInputs_CIColorCube[] = {
    {"inputImage", "CIImage", "CIAttributeTypeImage", none(), none(), none(), none(), none(), none(), "Image"},
    {"inputCubeDimension", "NSNumber", "CIAttributeTypeCount", num(2), num(2), num(64), none(), none(), num(2),
     "Cube Dimension"},
    {"inputCubeData", "NSData", nullptr, vec(kV0), none(), none(), none(), none(), vec(kV0), "Cube Data"},
    {"inputExtrapolate", "NSNumber", nullptr, none(), none(), none(), none(), none(), none(), "Extrapolate"},
};

constexpr const char* kCats_CIColorCubeWithColorSpace[] = {"CICategoryColorEffect", "CICategoryVideo",
                                                           "CICategoryInterlaced",  "CICategoryNonSquarePixels",
                                                           "CICategoryStillImage",  "CICategoryBuiltIn"};
constexpr FactInput kInputs_CIColorCubeWithColorSpace[] = {
    {"inputImage", "CIImage", "CIAttributeTypeImage", none(), none(), none(), none(), none(), none(), "Image"},
    {"inputCubeDimension", "NSNumber", "CIAttributeTypeCount", num(2), num(2), num(64), none(), none(), num(2),
     "Cube Dimension"},
    {"inputCubeData", "NSData", nullptr, vec(kV0), none(), none(), none(), none(), vec(kV0), "Cube Data"},
    {"inputColorSpace", "NSObject", nullptr, none(), none(), none(), none(), none(), none(), "Color Space"},
    {"inputExtrapolate", "NSNumber", nullptr, none(), none(), none(), none(), none(), none(), "Extrapolate"},
};

constexpr const char* kCats_CIColorCubesMixedWithMask[] = {"CICategoryColorEffect", "CICategoryVideo",
                                                           "CICategoryInterlaced",  "CICategoryNonSquarePixels",
                                                           "CICategoryStillImage",  "CICategoryBuiltIn"};
constexpr FactInput kInputs_CIColorCubesMixedWithMask[] = {
    {"inputImage", "CIImage", "CIAttributeTypeImage", none(), none(), none(), none(), none(), none(), "Image"},
    {"inputCubeDimension", "NSNumber", "CIAttributeTypeCount", num(2), num(2), num(64), none(), none(), num(2),
     "Cube Dimension"},
    {"inputMaskImage", "CIImage", "CIAttributeTypeImage", none(), none(), none(), none(), none(), none(), "Mask Image"},
    {"inputCube0Data", "NSData", nullptr, vec(kV0), none(), none(), none(), none(), vec(kV0), "Cube 0 Data"},
    {"inputCube1Data", "NSData", nullptr, vec(kV0), none(), none(), none(), none(), vec(kV0), "Cube 1 Data"},
    {"inputColorSpace", "NSObject", nullptr, none(), none(), none(), none(), none(), none(), "Color Space"},
    {"inputExtrapolate", "NSNumber", nullptr, none(), none(), none(), none(), none(), none(), "Extrapolate"},
};

constexpr const char* kCats_CIToneCurve[] = {"CICategoryColorAdjustment", "CICategoryVideo",
                                             "CICategoryStillImage",      "CICategoryInterlaced",
                                             "CICategoryNonSquarePixels", "CICategoryBuiltIn"};
constexpr FactInput kInputs_CIToneCurve[] = {
    {"inputImage", "CIImage", "CIAttributeTypeImage", none(), none(), none(), none(), none(), none(), "Image"},
    {"inputPoint0", "CIVector", "CIAttributeTypeOffset", vec(kV1), none(), none(), none(), none(), vec(kV1), "Point 0"},
    {"inputPoint1", "CIVector", "CIAttributeTypeOffset", vec(kV2), none(), none(), none(), none(), vec(kV2), "Point 1"},
    {"inputPoint2", "CIVector", "CIAttributeTypeOffset", vec(kV3), none(), none(), none(), none(), vec(kV3), "Point 2"},
    {"inputPoint3", "CIVector", "CIAttributeTypeOffset", vec(kV4), none(), none(), none(), none(), vec(kV4), "Point 3"},
    {"inputPoint4", "CIVector", "CIAttributeTypeOffset", vec(kV5), none(), none(), none(), none(), vec(kV5), "Point 4"},
};

constexpr const char* kCats_CIVignette[] = {"CICategoryColorEffect", "CICategoryVideo", "CICategoryInterlaced",
                                            "CICategoryStillImage", "CICategoryBuiltIn"};
constexpr FactInput kInputs_CIVignette[] = {
    {"inputImage", "CIImage", "CIAttributeTypeImage", none(), none(), none(), none(), none(), none(), "Image"},
    {"inputIntensity", "NSNumber", "CIAttributeTypeScalar", num(0), num(-1), num(1), num(-1), num(1), num(0),
     "Intensity"},
    {"inputRadius", "NSNumber", "CIAttributeTypeScalar", num(1), num(0), num(2), num(0), num(2), none(), "Radius"},
};

constexpr const char* kCats_CIVignetteEffect[] = {"CICategoryColorEffect", "CICategoryVideo", "CICategoryInterlaced",
                                                  "CICategoryStillImage", "CICategoryBuiltIn"};
constexpr FactInput kInputs_CIVignetteEffect[] = {
    {"inputImage", "CIImage", "CIAttributeTypeImage", none(), none(), none(), none(), none(), none(), "Image"},
    {"inputCenter", "CIVector", "CIAttributeTypePosition", vec(kV6), none(), none(), none(), none(), none(), "Center"},
    {"inputRadius", "NSNumber", "CIAttributeTypeDistance", num(150), num(0), none(), num(0), num(2000), none(),
     "Radius"},
    {"inputIntensity", "NSNumber", "CIAttributeTypeScalar", num(1), num(-1), num(1), num(-1), num(1), num(0),
     "Intensity"},
    {"inputFalloff", "NSNumber", "CIAttributeTypeScalar", num(0.5), num(0), num(1), num(0), num(1), none(), "Falloff"},
};

constexpr const char* kCats_CINoiseReduction[] = {"CICategoryBlur", "CICategoryVideo", "CICategoryStillImage",
                                                  "CICategoryBuiltIn"};
constexpr FactInput kInputs_CINoiseReduction[] = {
    {"inputImage", "CIImage", "CIAttributeTypeImage", none(), none(), none(), none(), none(), none(), "Image"},
    {"inputNoiseLevel", "NSNumber", "CIAttributeTypeScalar", num(0.02), num(0), none(), num(0), num(0.1), num(0),
     "Noise Level"},
    {"inputSharpness", "NSNumber", "CIAttributeTypeScalar", num(0.4), num(0), none(), num(0), num(2), num(0),
     "Sharpness"},
};

constexpr FactInput kInputs_CIFaceBalance[] = {
    {"inputImage", "CIImage", "CIAttributeTypeImage", none(), none(), none(), none(), none(), none(), "Image"},
    {"inputOrigI", "NSNumber", nullptr, none(), none(), none(), none(), none(), none(), "Original I"},
    {"inputOrigQ", "NSNumber", nullptr, none(), none(), none(), none(), none(), none(), "Original Q"},
    {"inputStrength", "NSNumber", nullptr, none(), none(), none(), none(), none(), none(), "Strength"},
    {"inputWarmth", "NSNumber", nullptr, none(), none(), none(), none(), none(), none(), "Warmth"},
};

constexpr const char* kCats_CIAffineTransform[] = {"CICategoryGeometryAdjustment", "CICategoryVideo",
                                                   "CICategoryStillImage", "CICategoryBuiltIn"};
constexpr FactInput kInputs_CIAffineTransform[] = {
    {"inputImage", "CIImage", "CIAttributeTypeImage", none(), none(), none(), none(), none(), none(), "Image"},
    {"inputTransform", "NSValue", "CIAttributeTypeTransform", vec(kV7), none(), none(), none(), none(), vec(kV7),
     "Transform"},
};

constexpr const char* kCats_CICrop[] = {"CICategoryGeometryAdjustment", "CICategoryVideo", "CICategoryStillImage",
                                        "CICategoryBuiltIn"};
constexpr FactInput kInputs_CICrop[] = {
    {"inputImage", "CIImage", "CIAttributeTypeImage", none(), none(), none(), none(), none(), none(), "Image"},
    {"inputRectangle", "CIVector", "CIAttributeTypeRectangle", vec(kV8), none(), none(), none(), none(), vec(kV8),
     "Rectangle"},
};

constexpr const char* kCats_CIAreaAverage[] = {"CICategoryReduction", "CICategoryVideo", "CICategoryStillImage",
                                               "CICategoryBuiltIn"};
constexpr FactInput kInputs_CIAreaAverage[] = {
    {"inputImage", "CIImage", "CIAttributeTypeImage", none(), none(), none(), none(), none(), none(), "Image"},
    {"inputExtent", "CIVector", "CIAttributeTypeRectangle", vec(kV9), none(), none(), none(), none(), none(), "Extent"},
};

constexpr const char* kCats_CIMedianFilter[] = {"CICategoryBlur", "CICategoryStillImage", "CICategoryVideo",
                                                "CICategoryBuiltIn"};
constexpr FactInput kInputs_CIMedianFilter[] = {
    {"inputImage", "CIImage", "CIAttributeTypeImage", none(), none(), none(), none(), none(), none(), "Image"},
};

constexpr const char* kCats_CIVibrance[] = {"CICategoryColorAdjustment", "CICategoryVideo",
                                            "CICategoryStillImage",      "CICategoryInterlaced",
                                            "CICategoryNonSquarePixels", "CICategoryBuiltIn"};
constexpr FactInput kInputs_CIVibrance[] = {
    {"inputImage", "CIImage", "CIAttributeTypeImage", none(), none(), none(), none(), none(), none(), "Image"},
    {"inputAmount", "NSNumber", "CIAttributeTypeScalar", num(0), num(-1), num(1), num(-1), num(1), num(0), "Amount"},
};

constexpr FactInput kInputs_CIRedEyeCorrection[] = {
    {"inputImage", "CIImage", "CIAttributeTypeImage", none(), none(), none(), none(), none(), none(), "Image"},
    {"inputCameraModel", "NSString", nullptr, none(), none(), none(), none(), none(), none(), "Camera Model"},
    {"inputCorrectionInfo", "NSArray", nullptr, none(), none(), none(), none(), none(), none(), "Correction Info"},
};

constexpr const char* kCats_CIColorMap[] = {"CICategoryColorEffect",     "CICategoryVideo",      "CICategoryInterlaced",
                                            "CICategoryNonSquarePixels", "CICategoryStillImage", "CICategoryBuiltIn"};
constexpr FactInput kInputs_CIColorMap[] = {
    {"inputImage", "CIImage", "CIAttributeTypeImage", none(), none(), none(), none(), none(), none(), "Image"},
    {"inputGradientImage", "CIImage", "CIAttributeTypeGradient", none(), none(), none(), none(), none(), none(),
     "Gradient Image"},
};

constexpr const char* kCats_CIGaussianBlur[] = {"CICategoryBlur", "CICategoryStillImage", "CICategoryVideo",
                                                "CICategoryBuiltIn"};
constexpr FactInput kInputs_CIGaussianBlur[] = {
    {"inputImage", "CIImage", "CIAttributeTypeImage", none(), none(), none(), none(), none(), none(), "Image"},
    {"inputRadius", "NSNumber", "CIAttributeTypeScalar", num(10), num(0), none(), num(0), num(100), num(0), "Radius"},
};

constexpr const char* kCats_CISmoothLinearGradient[] = {"CICategoryGradient", "CICategoryVideo", "CICategoryStillImage",
                                                        "CICategoryBuiltIn"};
constexpr FactInput kInputs_CISmoothLinearGradient[] = {
    {"inputPoint0", "CIVector", "CIAttributeTypePosition", vec(kV1), none(), none(), none(), none(), none(), "Point 0"},
    {"inputPoint1", "CIVector", "CIAttributeTypePosition", vec(kV10), none(), none(), none(), none(), none(),
     "Point 1"},
    {"inputColor0", "CIColor", "CIAttributeTypeColor", vec(kV11), none(), none(), none(), none(), none(), "Color 1"},
    {"inputColor1", "CIColor", "CIAttributeTypeColor", vec(kV12), none(), none(), none(), none(), none(), "Color 2"},
};

constexpr const char* kCats_CIStraightenFilter[] = {"CICategoryGeometryAdjustment", "CICategoryVideo",
                                                    "CICategoryStillImage", "CICategoryBuiltIn"};
constexpr FactInput kInputs_CIStraightenFilter[] = {
    {"inputImage", "CIImage", "CIAttributeTypeImage", none(), none(), none(), none(), none(), none(), "Image"},
    {"inputAngle", "NSNumber", "CIAttributeTypeAngle", num(0), none(), none(), num(-3.141592653589793),
     num(3.141592653589793), num(0), "Angle"},
};

constexpr const char* kCats_CIPerspectiveCorrection[] = {"CICategoryGeometryAdjustment", "CICategoryStillImage",
                                                         "CICategoryVideo", "CICategoryBuiltIn"};
constexpr FactInput kInputs_CIPerspectiveCorrection[] = {
    {"inputImage", "CIImage", "CIAttributeTypeImage", none(), none(), none(), none(), none(), none(), "Image"},
    {"inputTopLeft", "CIVector", "CIAttributeTypePosition", vec(kV13), none(), none(), none(), none(), none(),
     "Top Left"},
    {"inputTopRight", "CIVector", "CIAttributeTypePosition", vec(kV14), none(), none(), none(), none(), none(),
     "Top Right"},
    {"inputBottomRight", "CIVector", "CIAttributeTypePosition", vec(kV15), none(), none(), none(), none(), none(),
     "Bottom Right"},
    {"inputBottomLeft", "CIVector", "CIAttributeTypePosition", vec(kV16), none(), none(), none(), none(), none(),
     "Bottom Left"},
    {"inputCrop", "NSNumber", "CIAttributeTypeBoolean", num(1), none(), none(), none(), none(), none(), "Crop"},
};

constexpr const char* kCats_CIColorControls[] = {"CICategoryColorAdjustment", "CICategoryVideo",
                                                 "CICategoryStillImage",      "CICategoryInterlaced",
                                                 "CICategoryNonSquarePixels", "CICategoryBuiltIn"};
constexpr FactInput kInputs_CIColorControls[] = {
    {"inputImage", "CIImage", "CIAttributeTypeImage", none(), none(), none(), none(), none(), none(), "Image"},
    {"inputSaturation", "NSNumber", "CIAttributeTypeScalar", num(1), num(0), none(), num(0), num(2), num(1),
     "Saturation"},
    {"inputBrightness", "NSNumber", "CIAttributeTypeScalar", num(0), num(-1), none(), num(-1), num(1), num(0),
     "Brightness"},
    {"inputContrast", "NSNumber", "CIAttributeTypeScalar", num(1), num(0), none(), num(0.25), num(4), num(1),
     "Contrast"},
};

constexpr const char* kCats_CIExposureAdjust[] = {
    "CICategoryColorAdjustment", "CICategoryVideo",   "CICategoryStillImage",     "CICategoryInterlaced",
    "CICategoryNonSquarePixels", "CICategoryBuiltIn", "CICategoryXMPSerializable"};
constexpr FactInput kInputs_CIExposureAdjust[] = {
    {"inputImage", "CIImage", "CIAttributeTypeImage", none(), none(), none(), none(), none(), none(), "Image"},
    {"inputEV", "NSNumber", "CIAttributeTypeScalar", num(0), none(), none(), num(-10), num(10), num(0), "EV"},
};

constexpr const char* kCats_CIGammaAdjust[] = {"CICategoryColorAdjustment", "CICategoryVideo",
                                               "CICategoryStillImage",      "CICategoryInterlaced",
                                               "CICategoryNonSquarePixels", "CICategoryBuiltIn"};
constexpr FactInput kInputs_CIGammaAdjust[] = {
    {"inputImage", "CIImage", "CIAttributeTypeImage", none(), none(), none(), none(), none(), none(), "Image"},
    {"inputPower", "NSNumber", "CIAttributeTypeScalar", num(1), none(), none(), num(0.25), num(4), num(1), "Power"},
};

constexpr const char* kCats_CIHueAdjust[] = {"CICategoryColorAdjustment", "CICategoryVideo",
                                             "CICategoryStillImage",      "CICategoryInterlaced",
                                             "CICategoryNonSquarePixels", "CICategoryBuiltIn"};
constexpr FactInput kInputs_CIHueAdjust[] = {
    {"inputImage", "CIImage", "CIAttributeTypeImage", none(), none(), none(), none(), none(), none(), "Image"},
    {"inputAngle", "NSNumber", "CIAttributeTypeAngle", num(0), none(), none(), num(-3.141592653589793),
     num(3.141592653589793), num(0), "Angle"},
};

constexpr const char* kCats_CIWhitePointAdjust[] = {"CICategoryColorAdjustment", "CICategoryVideo",
                                                    "CICategoryStillImage",      "CICategoryInterlaced",
                                                    "CICategoryNonSquarePixels", "CICategoryBuiltIn"};
constexpr FactInput kInputs_CIWhitePointAdjust[] = {
    {"inputImage", "CIImage", "CIAttributeTypeImage", none(), none(), none(), none(), none(), none(), "Image"},
    {"inputColor", "CIColor", "CIAttributeTypeColor", vec(kV11), none(), none(), none(), none(), vec(kV11), "Color"},
};

constexpr const char* kCats_CIColorPolynomial[] = {"CICategoryColorAdjustment", "CICategoryVideo",
                                                   "CICategoryInterlaced",      "CICategoryNonSquarePixels",
                                                   "CICategoryStillImage",      "CICategoryBuiltIn"};
constexpr FactInput kInputs_CIColorPolynomial[] = {
    {"inputImage", "CIImage", "CIAttributeTypeImage", none(), none(), none(), none(), none(), none(), "Image"},
    {"inputRedCoefficients", "CIVector", nullptr, vec(kV17), none(), none(), none(), none(), vec(kV17),
     "Red Coefficients"},
    {"inputGreenCoefficients", "CIVector", nullptr, vec(kV17), none(), none(), none(), none(), vec(kV17),
     "Green Coefficients"},
    {"inputBlueCoefficients", "CIVector", nullptr, vec(kV17), none(), none(), none(), none(), vec(kV17),
     "Blue Coefficients"},
    {"inputAlphaCoefficients", "CIVector", nullptr, vec(kV17), none(), none(), none(), none(), vec(kV17),
     "Alpha Coefficients"},
};

constexpr const char* kCats_CIColorCrossPolynomial[] = {"CICategoryColorEffect", "CICategoryVideo",
                                                        "CICategoryInterlaced",  "CICategoryNonSquarePixels",
                                                        "CICategoryStillImage",  "CICategoryBuiltIn"};
constexpr FactInput kInputs_CIColorCrossPolynomial[] = {
    {"inputImage", "CIImage", "CIAttributeTypeImage", none(), none(), none(), none(), none(), none(), "Image"},
    {"inputRedCoefficients", "CIVector", nullptr, vec(kV18), none(), none(), none(), none(), vec(kV18),
     "Red Coefficients"},
    {"inputGreenCoefficients", "CIVector", nullptr, vec(kV19), none(), none(), none(), none(), vec(kV19),
     "Green Coefficients"},
    {"inputBlueCoefficients", "CIVector", nullptr, vec(kV20), none(), none(), none(), none(), vec(kV20),
     "Blue Coefficients"},
};

constexpr const char* kCats_CIColorMonochrome[] = {"CICategoryColorEffect", "CICategoryVideo",
                                                   "CICategoryInterlaced",  "CICategoryNonSquarePixels",
                                                   "CICategoryStillImage",  "CICategoryBuiltIn"};
constexpr FactInput kInputs_CIColorMonochrome[] = {
    {"inputImage", "CIImage", "CIAttributeTypeImage", none(), none(), none(), none(), none(), none(), "Image"},
    {"inputColor", "CIColor", "CIAttributeTypeOpaqueColor", vec(kV21), none(), none(), none(), none(), none(), "Color"},
    {"inputIntensity", "NSNumber", "CIAttributeTypeScalar", num(1), num(0), none(), num(0), num(1), num(0),
     "Intensity"},
};

constexpr const char* kCats_CIColorPosterize[] = {"CICategoryColorEffect", "CICategoryVideo",
                                                  "CICategoryInterlaced",  "CICategoryNonSquarePixels",
                                                  "CICategoryStillImage",  "CICategoryBuiltIn"};
constexpr FactInput kInputs_CIColorPosterize[] = {
    {"inputImage", "CIImage", "CIAttributeTypeImage", none(), none(), none(), none(), none(), none(), "Image"},
    {"inputLevels", "NSNumber", "CIAttributeTypeScalar", num(6), num(1), none(), num(2), num(30), num(300), "Levels"},
};

constexpr const char* kCats_CIFalseColor[] = {"CICategoryColorEffect", "CICategoryVideo",
                                              "CICategoryInterlaced",  "CICategoryNonSquarePixels",
                                              "CICategoryStillImage",  "CICategoryBuiltIn"};
constexpr FactInput kInputs_CIFalseColor[] = {
    {"inputImage", "CIImage", "CIAttributeTypeImage", none(), none(), none(), none(), none(), none(), "Image"},
    {"inputColor0", "CIColor", "CIAttributeTypeColor", vec(kV22), none(), none(), none(), none(), none(), "Color 1"},
    {"inputColor1", "CIColor", "CIAttributeTypeColor", vec(kV23), none(), none(), none(), none(), none(), "Color 2"},
};

constexpr const char* kCats_CISepiaTone[] = {
    "CICategoryColorEffect", "CICategoryVideo",   "CICategoryInterlaced",     "CICategoryNonSquarePixels",
    "CICategoryStillImage",  "CICategoryBuiltIn", "CICategoryXMPSerializable"};
constexpr FactInput kInputs_CISepiaTone[] = {
    {"inputImage", "CIImage", "CIAttributeTypeImage", none(), none(), none(), none(), none(), none(), "Image"},
    {"inputIntensity", "NSNumber", "CIAttributeTypeScalar", num(1), num(0), none(), num(0), num(1), num(0),
     "Intensity"},
};

constexpr const char* kCats_CIXRay[] = {"CICategoryColorEffect",     "CICategoryVideo",      "CICategoryInterlaced",
                                        "CICategoryNonSquarePixels", "CICategoryStillImage", "CICategoryBuiltIn"};
constexpr FactInput kInputs_CIXRay[] = {
    {"inputImage", "CIImage", "CIAttributeTypeImage", none(), none(), none(), none(), none(), none(), "Image"},
};

constexpr const char* kCats_CIColorCurves[] = {"CICategoryColorEffect", "CICategoryVideo",
                                               "CICategoryInterlaced",  "CICategoryNonSquarePixels",
                                               "CICategoryStillImage",  "CICategoryBuiltIn"};
constexpr FactInput kInputs_CIColorCurves[] = {
    {"inputImage", "CIImage", "CIAttributeTypeImage", none(), none(), none(), none(), none(), none(), "Image"},
    {"inputCurvesData", "NSData", nullptr, vec(kV24), none(), none(), none(), none(), none(), "Curves Data"},
    {"inputCurvesDomain", "CIVector", nullptr, vec(kV25), none(), none(), none(), none(), none(), "Curves Domain"},
    {"inputColorSpace", "NSObject", nullptr, none(), none(), none(), none(), none(), none(), "Color Space"},
};

constexpr const char* kCats_CIAztecCodeGenerator[] = {"CICategoryGenerator", "CICategoryStillImage",
                                                      "CICategoryBuiltIn"};
constexpr FactInput kInputs_CIAztecCodeGenerator[] = {
    {"inputMessage", "NSData", nullptr, none(), none(), none(), none(), none(), none(), "Message"},
    {"inputCorrectionLevel", "NSNumber", nullptr, num(23), num(5), num(95), num(5), num(95), none(),
     "Correction Level"},
    {"inputLayers", "NSNumber", nullptr, none(), num(1), num(32), num(1), num(32), none(), "Layers"},
    {"inputCompactStyle", "NSNumber", nullptr, none(), num(0), num(1), num(0), num(1), none(), "Compact Style"},
};

constexpr const char* kCats_CIPDF417BarcodeGenerator[] = {"CICategoryGenerator", "CICategoryVideo",
                                                          "CICategoryStillImage", "CICategoryBuiltIn"};
constexpr FactInput kInputs_CIPDF417BarcodeGenerator[] = {
    {"inputMessage", "NSData", nullptr, none(), none(), none(), none(), none(), none(), "Message"},
    {"inputMinWidth", "NSNumber", nullptr, none(), num(56), num(583), num(56), num(583), none(), "Min Width"},
    {"inputMaxWidth", "NSNumber", nullptr, none(), num(56), num(583), num(56), num(583), none(), "Max Width"},
    {"inputMinHeight", "NSNumber", nullptr, none(), num(13), num(283), num(13), num(283), none(), "Min Height"},
    {"inputMaxHeight", "NSNumber", nullptr, none(), num(13), num(283), num(13), num(283), none(), "Max Height"},
    {"inputDataColumns", "NSNumber", nullptr, none(), num(1), num(30), num(1), num(30), none(), "Data Columns"},
    {"inputRows", "NSNumber", nullptr, none(), num(3), num(90), num(3), num(90), none(), "Rows"},
    {"inputPreferredAspectRatio", "NSNumber", nullptr, none(), num(0), num(9223372036854775807), num(0),
     num(9223372036854775807), none(), "Preferred Aspect Ratio"},
    {"inputCompactionMode", "NSNumber", nullptr, none(), num(0), num(3), num(0), num(3), none(), "Compaction Mode"},
    {"inputCompactStyle", "NSNumber", nullptr, none(), num(0), num(1), num(0), num(1), none(), "Compact Style"},
    {"inputCorrectionLevel", "NSNumber", nullptr, none(), num(0), num(8), num(0), num(8), none(), "Correction Level"},
    {"inputAlwaysSpecifyCompaction", "NSNumber", nullptr, none(), num(0), num(1), num(0), num(1), none(),
     "Always Specify Compaction"},
};

constexpr const char* kCats_CICode128BarcodeGenerator[] = {"CICategoryGenerator", "CICategoryStillImage",
                                                           "CICategoryBuiltIn"};
constexpr FactInput kInputs_CICode128BarcodeGenerator[] = {
    {"inputMessage", "NSData", nullptr, none(), none(), none(), none(), none(), none(), "Message"},
    {"inputQuietSpace", "NSNumber", "CIAttributeTypeScalar", num(10), num(0), num(100), num(0), num(20), none(),
     "Quiet Space"},
    {"inputBarcodeHeight", "NSNumber", "CIAttributeTypeScalar", num(32), num(1), num(500), num(1), num(50), none(),
     "Barcode Height"},
};

constexpr const char* kCats_CIQRCodeGenerator[] = {"CICategoryGenerator", "CICategoryStillImage", "CICategoryBuiltIn"};
constexpr FactInput kInputs_CIQRCodeGenerator[] = {
    {"inputMessage", "NSData", nullptr, none(), none(), none(), none(), none(), none(), "Message"},
    {"inputCorrectionLevel", "NSString", nullptr, str("M"), none(), none(), none(), none(), none(), "Correction Level"},
};

constexpr const char* kCats_CIStretchCrop[] = {"CICategoryDistortionEffect", "CICategoryVideo", "CICategoryStillImage",
                                               "CICategoryBuiltIn"};
constexpr FactInput kInputs_CIStretchCrop[] = {
    {"inputImage", "CIImage", "CIAttributeTypeImage", none(), none(), none(), none(), none(), none(), "Image"},
    {"inputSize", "CIVector", "CIAttributeTypePosition", vec(kV26), none(), none(), none(), none(), none(), "Size"},
    {"inputCropAmount", "NSNumber", "CIAttributeTypeScalar", num(0.25), num(0), num(1), num(0), num(1), none(),
     "Crop Amount"},
    {"inputCenterStretchAmount", "NSNumber", "CIAttributeTypeScalar", num(0.25), num(0), num(1), num(0), num(1), none(),
     "Center Stretch Amount"},
};

constexpr const char* kCats_CIColorClamp[] = {"CICategoryColorAdjustment", "CICategoryVideo",
                                              "CICategoryInterlaced",      "CICategoryNonSquarePixels",
                                              "CICategoryStillImage",      "CICategoryBuiltIn"};
constexpr FactInput kInputs_CIColorClamp[] = {
    {"inputImage", "CIImage", "CIAttributeTypeImage", none(), none(), none(), none(), none(), none(), "Image"},
    {"inputMinComponents", "CIVector", nullptr, vec(kV27), none(), none(), none(), none(), none(), "Min Components"},
    {"inputMaxComponents", "CIVector", nullptr, vec(kV11), none(), none(), none(), none(), none(), "Max Components"},
};

constexpr const char* kCats_CIColorMatrix[] = {"CICategoryColorAdjustment", "CICategoryVideo",
                                               "CICategoryStillImage",      "CICategoryInterlaced",
                                               "CICategoryNonSquarePixels", "CICategoryBuiltIn"};
constexpr FactInput kInputs_CIColorMatrix[] = {
    {"inputImage", "CIImage", "CIAttributeTypeImage", none(), none(), none(), none(), none(), none(), "Image"},
    {"inputRVector", "CIVector", nullptr, vec(kV28), none(), none(), none(), none(), vec(kV28), "Red Vector"},
    {"inputGVector", "CIVector", nullptr, vec(kV17), none(), none(), none(), none(), vec(kV17), "Green Vector"},
    {"inputBVector", "CIVector", nullptr, vec(kV29), none(), none(), none(), none(), vec(kV29), "Blue Vector"},
    {"inputAVector", "CIVector", nullptr, vec(kV12), none(), none(), none(), none(), vec(kV12), "Alpha Vector"},
    {"inputBiasVector", "CIVector", nullptr, vec(kV27), none(), none(), none(), none(), vec(kV27), "Bias Vector"},
};

constexpr const char* kCats_CIConvolution3X3[] = {"CICategoryStylize", "CICategoryVideo", "CICategoryStillImage",
                                                  "CICategoryBuiltIn"};
constexpr FactInput kInputs_CIConvolution3X3[] = {
    {"inputImage", "CIImage", "CIAttributeTypeImage", none(), none(), none(), none(), none(), none(), "Image"},
    {"inputWeights", "CIVector", nullptr, vec(kV30), none(), none(), none(), none(), vec(kV30), "Weights"},
    {"inputBias", "NSNumber", nullptr, num(0), none(), none(), none(), none(), num(0), "Bias"},
};

constexpr const char* kCats_CIConvolution5X5[] = {"CICategoryStylize", "CICategoryVideo", "CICategoryStillImage",
                                                  "CICategoryBuiltIn"};
constexpr FactInput kInputs_CIConvolution5X5[] = {
    {"inputImage", "CIImage", "CIAttributeTypeImage", none(), none(), none(), none(), none(), none(), "Image"},
    {"inputWeights", "CIVector", nullptr, vec(kV31), none(), none(), none(), none(), vec(kV31), "Weights"},
    {"inputBias", "NSNumber", nullptr, num(0), none(), none(), none(), none(), num(0), "Bias"},
};

constexpr const char* kCats_CIConvolution7X7[] = {"CICategoryStylize", "CICategoryVideo", "CICategoryStillImage",
                                                  "CICategoryBuiltIn"};
constexpr FactInput kInputs_CIConvolution7X7[] = {
    {"inputImage", "CIImage", "CIAttributeTypeImage", none(), none(), none(), none(), none(), none(), "Image"},
    {"inputWeights", "CIVector", nullptr, vec(kV32), none(), none(), none(), none(), vec(kV32), "Weights"},
    {"inputBias", "NSNumber", nullptr, num(0), none(), none(), none(), none(), num(0), "Bias"},
};

constexpr const char* kCats_CIConvolution9Horizontal[] = {"CICategoryStylize", "CICategoryVideo",
                                                          "CICategoryStillImage", "CICategoryBuiltIn"};
constexpr FactInput kInputs_CIConvolution9Horizontal[] = {
    {"inputImage", "CIImage", "CIAttributeTypeImage", none(), none(), none(), none(), none(), none(), "Image"},
    {"inputWeights", "CIVector", nullptr, vec(kV30), none(), none(), none(), none(), vec(kV30), "Weights"},
    {"inputBias", "NSNumber", nullptr, num(0), none(), none(), none(), none(), num(0), "Bias"},
};

constexpr const char* kCats_CIConvolution9Vertical[] = {"CICategoryStylize", "CICategoryVideo", "CICategoryStillImage",
                                                        "CICategoryBuiltIn"};
constexpr FactInput kInputs_CIConvolution9Vertical[] = {
    {"inputImage", "CIImage", "CIAttributeTypeImage", none(), none(), none(), none(), none(), none(), "Image"},
    {"inputWeights", "CIVector", nullptr, vec(kV30), none(), none(), none(), none(), vec(kV30), "Weights"},
    {"inputBias", "NSNumber", nullptr, num(0), none(), none(), none(), none(), num(0), "Bias"},
};

constexpr const char* kCats_CITemperatureAndTint[] = {"CICategoryColorAdjustment", "CICategoryVideo",
                                                      "CICategoryStillImage",      "CICategoryInterlaced",
                                                      "CICategoryNonSquarePixels", "CICategoryBuiltIn"};
constexpr FactInput kInputs_CITemperatureAndTint[] = {
    {"inputImage", "CIImage", "CIAttributeTypeImage", none(), none(), none(), none(), none(), none(), "Image"},
    {"inputNeutral", "CIVector", "CIAttributeTypeOffset", vec(kV33), none(), none(), none(), none(), vec(kV33),
     "Neutral"},
    {"inputTargetNeutral", "CIVector", "CIAttributeTypeOffset", vec(kV33), none(), none(), none(), none(), vec(kV33),
     "Target Neutral"},
};

constexpr const char* kCats_CISourceOverCompositing[] = {"CICategoryCompositeOperation",
                                                         "CICategoryVideo",
                                                         "CICategoryStillImage",
                                                         "CICategoryInterlaced",
                                                         "CICategoryNonSquarePixels",
                                                         "CICategoryHighDynamicRange",
                                                         "CICategoryBuiltIn"};
constexpr FactInput kInputs_CISourceOverCompositing[] = {
    {"inputImage", "CIImage", "CIAttributeTypeImage", none(), none(), none(), none(), none(), none(), "Image"},
    {"inputBackgroundImage", "CIImage", "CIAttributeTypeImage", none(), none(), none(), none(), none(), none(),
     "Background Image"},
};

constexpr const char* kCats_CILinearToSRGBToneCurve[] = {"CICategoryColorAdjustment", "CICategoryVideo",
                                                         "CICategoryStillImage",      "CICategoryInterlaced",
                                                         "CICategoryNonSquarePixels", "CICategoryBuiltIn"};
constexpr FactInput kInputs_CILinearToSRGBToneCurve[] = {
    {"inputImage", "CIImage", "CIAttributeTypeImage", none(), none(), none(), none(), none(), none(), "Image"},
};

constexpr const char* kCats_CISRGBToneCurveToLinear[] = {"CICategoryColorAdjustment", "CICategoryVideo",
                                                         "CICategoryStillImage",      "CICategoryInterlaced",
                                                         "CICategoryNonSquarePixels", "CICategoryBuiltIn"};
constexpr FactInput kInputs_CISRGBToneCurveToLinear[] = {
    {"inputImage", "CIImage", "CIAttributeTypeImage", none(), none(), none(), none(), none(), none(), "Image"},
};

constexpr FilterFacts kFilters[] = {
    {"CIColorCube", "Color Cube", kCats_CIColorCube, "5", "10.4", kInputs_CIColorCube},
    {"CIColorCubeWithColorSpace", "Color Cube with ColorSpace", kCats_CIColorCubeWithColorSpace, "7", "10.9",
     kInputs_CIColorCubeWithColorSpace},
    {"CIColorCubesMixedWithMask", "Color Cubes Mixed With Mask", kCats_CIColorCubesMixedWithMask, "11", "10.13",
     kInputs_CIColorCubesMixedWithMask},
    {"CIToneCurve", "Tone Curve", kCats_CIToneCurve, "5", "10.7", kInputs_CIToneCurve},
    {"CIVignette", "Vignette", kCats_CIVignette, "5", "10.9", kInputs_CIVignette},
    {"CIVignetteEffect", "Vignette Effect", kCats_CIVignetteEffect, "7", "10.9", kInputs_CIVignetteEffect},
    {"CINoiseReduction", "Noise Reduction", kCats_CINoiseReduction, "9", "10.4", kInputs_CINoiseReduction},
    {"CIFaceBalance", nullptr, {}, "5 (via auto-adjustment)", "10.8 (via auto-adjustment)", kInputs_CIFaceBalance},
    {"CIAffineTransform", "Affine Transform", kCats_CIAffineTransform, "5", "10.4", kInputs_CIAffineTransform},
    {"CICrop", "Crop", kCats_CICrop, "5", "10.4", kInputs_CICrop},
    {"CIAreaAverage", "Area Average", kCats_CIAreaAverage, "9", "10.5", kInputs_CIAreaAverage},
    {"CIMedianFilter", "Median", kCats_CIMedianFilter, "9", "10.4", kInputs_CIMedianFilter},
    {"CIVibrance", "Vibrance", kCats_CIVibrance, "5", "10.7", kInputs_CIVibrance},
    {"CIRedEyeCorrection",
     nullptr,
     {},
     "5 (via auto-adjustment)",
     "10.8 (via auto-adjustment)",
     kInputs_CIRedEyeCorrection},
    {"CIColorMap", "Color Map", kCats_CIColorMap, "6", "10.4", kInputs_CIColorMap},
    {"CIGaussianBlur", "Gaussian Blur", kCats_CIGaussianBlur, "6", "10.4", kInputs_CIGaussianBlur},
    {"CISmoothLinearGradient", "Smooth Linear Gradient", kCats_CISmoothLinearGradient, "6", "10.10",
     kInputs_CISmoothLinearGradient},
    {"CIStraightenFilter", "Straighten", kCats_CIStraightenFilter, "5", "10.7", kInputs_CIStraightenFilter},
    {"CIPerspectiveCorrection", "Perspective Correction", kCats_CIPerspectiveCorrection, "8", "10.10",
     kInputs_CIPerspectiveCorrection},
    {"CIColorControls", "Color Controls", kCats_CIColorControls, "5", "10.4", kInputs_CIColorControls},
    {"CIExposureAdjust", "Exposure Adjust", kCats_CIExposureAdjust, "5", "10.4", kInputs_CIExposureAdjust},
    {"CIGammaAdjust", "Gamma Adjust", kCats_CIGammaAdjust, "5", "10.4", kInputs_CIGammaAdjust},
    {"CIHueAdjust", "Hue Adjust", kCats_CIHueAdjust, "5", "10.4", kInputs_CIHueAdjust},
    {"CIWhitePointAdjust", "White Point Adjust", kCats_CIWhitePointAdjust, "5", "10.4", kInputs_CIWhitePointAdjust},
    {"CIColorPolynomial", "Color Polynomial", kCats_CIColorPolynomial, "7", "10.9", kInputs_CIColorPolynomial},
    {"CIColorCrossPolynomial", "Color Cross Polynomial", kCats_CIColorCrossPolynomial, "7", "10.9",
     kInputs_CIColorCrossPolynomial},
    {"CIColorMonochrome", "Color Monochrome", kCats_CIColorMonochrome, "5", "10.4", kInputs_CIColorMonochrome},
    {"CIColorPosterize", "Color Posterize", kCats_CIColorPosterize, "6", "10.4", kInputs_CIColorPosterize},
    {"CIFalseColor", "False Color", kCats_CIFalseColor, "5", "10.4", kInputs_CIFalseColor},
    {"CISepiaTone", "Sepia Tone", kCats_CISepiaTone, "5", "10.4", kInputs_CISepiaTone},
    {"CIXRay", "X-Ray", kCats_CIXRay, "10", "10.11", kInputs_CIXRay},
    {"CIColorCurves", "Color Curves", kCats_CIColorCurves, "11", "10.13", kInputs_CIColorCurves},
    {"CIAztecCodeGenerator", "Aztec Code Generator", kCats_CIAztecCodeGenerator, "8", "10.10",
     kInputs_CIAztecCodeGenerator},
    {"CIPDF417BarcodeGenerator", "PDF417 Barcode Generator", kCats_CIPDF417BarcodeGenerator, "9", "10.11",
     kInputs_CIPDF417BarcodeGenerator},
    {"CICode128BarcodeGenerator", "Code 128 Barcode Generator", kCats_CICode128BarcodeGenerator, "8", "10.10",
     kInputs_CICode128BarcodeGenerator},
    {"CIQRCodeGenerator", "QR Code Generator", kCats_CIQRCodeGenerator, "7", "10.9", kInputs_CIQRCodeGenerator},
    {"CIStretchCrop", "Stretch Crop", kCats_CIStretchCrop, "9", "10.6", kInputs_CIStretchCrop},
    {"CIColorClamp", "Color Clamp", kCats_CIColorClamp, "7", "10.9", kInputs_CIColorClamp},
    {"CIColorMatrix", "Color Matrix", kCats_CIColorMatrix, "5", "10.4", kInputs_CIColorMatrix},
    {"CIConvolution3X3", "3 by 3 Convolution", kCats_CIConvolution3X3, "7", "10.9", kInputs_CIConvolution3X3},
    {"CIConvolution5X5", "5 by 5 Convolution", kCats_CIConvolution5X5, "7", "10.9", kInputs_CIConvolution5X5},
    {"CIConvolution7X7", "7 by 7 Convolution", kCats_CIConvolution7X7, "9", "10.9", kInputs_CIConvolution7X7},
    {"CIConvolution9Horizontal", "Horizontal 9 Convolution", kCats_CIConvolution9Horizontal, "7", "10.9",
     kInputs_CIConvolution9Horizontal},
    {"CIConvolution9Vertical", "Vertical 9 Convolution", kCats_CIConvolution9Vertical, "7", "10.9",
     kInputs_CIConvolution9Vertical},
    {"CITemperatureAndTint", "Temperature and Tint", kCats_CITemperatureAndTint, "5", "10.7",
     kInputs_CITemperatureAndTint},
    {"CISourceOverCompositing", "Source Over", kCats_CISourceOverCompositing, "5", "10.4",
     kInputs_CISourceOverCompositing},
    {"CILinearToSRGBToneCurve", "Linear to sRGB Tone Curve", kCats_CILinearToSRGBToneCurve, "7", "10.10",
     kInputs_CILinearToSRGBToneCurve},
    {"CISRGBToneCurveToLinear", "sRGB Tone Curve to Linear", kCats_CISRGBToneCurveToLinear, "7", "10.10",
     kInputs_CISRGBToneCurveToLinear},
};

}  // namespace

std::span<const FilterFacts> filterFacts() {
    return kFilters;
}
