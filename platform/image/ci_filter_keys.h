// The platform's filter attribute and input key constants; each constant's value is its own key text.
#pragma once

// Filter-level attributes.
inline constexpr const char* kCIAttributeFilterName = "CIAttributeFilterName";
inline constexpr const char* kCIAttributeFilterDisplayName = "CIAttributeFilterDisplayName";
inline constexpr const char* kCIAttributeFilterCategories = "CIAttributeFilterCategories";
inline constexpr const char* kCIAttributeFilterAvailable_iOS = "CIAttributeFilterAvailable_iOS";
inline constexpr const char* kCIAttributeFilterAvailable_Mac = "CIAttributeFilterAvailable_Mac";
inline constexpr const char* kCIAttributeReferenceDocumentation = "CIAttributeReferenceDocumentation";

// Per-input attributes.
inline constexpr const char* kCIAttributeClass = "CIAttributeClass";
inline constexpr const char* kCIAttributeType = "CIAttributeType";
inline constexpr const char* kCIAttributeDefault = "CIAttributeDefault";
inline constexpr const char* kCIAttributeMin = "CIAttributeMin";
inline constexpr const char* kCIAttributeMax = "CIAttributeMax";
inline constexpr const char* kCIAttributeSliderMin = "CIAttributeSliderMin";
inline constexpr const char* kCIAttributeSliderMax = "CIAttributeSliderMax";
inline constexpr const char* kCIAttributeIdentity = "CIAttributeIdentity";
inline constexpr const char* kCIAttributeDisplayName = "CIAttributeDisplayName";
inline constexpr const char* kCIAttributeDescription = "CIAttributeDescription";
inline constexpr const char* kCIAttributeName = "CIAttributeName";

// Attribute types.
inline constexpr const char* kCIAttributeTypeTime = "CIAttributeTypeTime";
inline constexpr const char* kCIAttributeTypeScalar = "CIAttributeTypeScalar";
inline constexpr const char* kCIAttributeTypeDistance = "CIAttributeTypeDistance";
inline constexpr const char* kCIAttributeTypeAngle = "CIAttributeTypeAngle";
inline constexpr const char* kCIAttributeTypeBoolean = "CIAttributeTypeBoolean";
inline constexpr const char* kCIAttributeTypeInteger = "CIAttributeTypeInteger";
inline constexpr const char* kCIAttributeTypeCount = "CIAttributeTypeCount";
inline constexpr const char* kCIAttributeTypePosition = "CIAttributeTypePosition";
inline constexpr const char* kCIAttributeTypeOffset = "CIAttributeTypeOffset";
inline constexpr const char* kCIAttributeTypePosition3 = "CIAttributeTypePosition3";
inline constexpr const char* kCIAttributeTypeRectangle = "CIAttributeTypeRectangle";
inline constexpr const char* kCIAttributeTypeOpaqueColor = "CIAttributeTypeOpaqueColor";
inline constexpr const char* kCIAttributeTypeColor = "CIAttributeTypeColor";
inline constexpr const char* kCIAttributeTypeGradient = "CIAttributeTypeGradient";
inline constexpr const char* kCIAttributeTypeImage = "CIAttributeTypeImage";
inline constexpr const char* kCIAttributeTypeTransform = "CIAttributeTypeTransform";

// Categories.
inline constexpr const char* kCICategoryDistortionEffect = "CICategoryDistortionEffect";
inline constexpr const char* kCICategoryGeometryAdjustment = "CICategoryGeometryAdjustment";
inline constexpr const char* kCICategoryCompositeOperation = "CICategoryCompositeOperation";
inline constexpr const char* kCICategoryHalftoneEffect = "CICategoryHalftoneEffect";
inline constexpr const char* kCICategoryColorAdjustment = "CICategoryColorAdjustment";
inline constexpr const char* kCICategoryColorEffect = "CICategoryColorEffect";
inline constexpr const char* kCICategoryTransition = "CICategoryTransition";
inline constexpr const char* kCICategoryTileEffect = "CICategoryTileEffect";
inline constexpr const char* kCICategoryGenerator = "CICategoryGenerator";
inline constexpr const char* kCICategoryReduction = "CICategoryReduction";
inline constexpr const char* kCICategoryGradient = "CICategoryGradient";
inline constexpr const char* kCICategoryStylize = "CICategoryStylize";
inline constexpr const char* kCICategorySharpen = "CICategorySharpen";
inline constexpr const char* kCICategoryBlur = "CICategoryBlur";
inline constexpr const char* kCICategoryVideo = "CICategoryVideo";
inline constexpr const char* kCICategoryStillImage = "CICategoryStillImage";
inline constexpr const char* kCICategoryInterlaced = "CICategoryInterlaced";
inline constexpr const char* kCICategoryNonSquarePixels = "CICategoryNonSquarePixels";
inline constexpr const char* kCICategoryHighDynamicRange = "CICategoryHighDynamicRange";
inline constexpr const char* kCICategoryBuiltIn = "CICategoryBuiltIn";
inline constexpr const char* kCICategoryFilterGenerator = "CICategoryFilterGenerator";

// Input and output keys.
inline constexpr const char* kCIInputImageKey = "inputImage";
inline constexpr const char* kCIInputBackgroundImageKey = "inputBackgroundImage";
inline constexpr const char* kCIInputExtentKey = "inputExtent";
inline constexpr const char* kCIInputRadiusKey = "inputRadius";
inline constexpr const char* kCIInputIntensityKey = "inputIntensity";
inline constexpr const char* kCIInputTransformKey = "inputTransform";
inline constexpr const char* kCIInputColorKey = "inputColor";
inline constexpr const char* kCIInputSaturationKey = "inputSaturation";
inline constexpr const char* kCIInputBrightnessKey = "inputBrightness";
inline constexpr const char* kCIInputContrastKey = "inputContrast";
inline constexpr const char* kCIInputCenterKey = "inputCenter";
inline constexpr const char* kCIInputAngleKey = "inputAngle";
inline constexpr const char* kCIInputAmountKey = "inputAmount";
inline constexpr const char* kCIOutputImageKey = "outputImage";
