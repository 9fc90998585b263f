// The platform's image-property keys: each constant's value is the key used in the dictionaries.
#pragma once

// Top level.
inline constexpr const char* kCGImagePropertyOrientation = "Orientation";
inline constexpr const char* kCGImagePropertyPixelWidth = "PixelWidth";
inline constexpr const char* kCGImagePropertyPixelHeight = "PixelHeight";
inline constexpr const char* kCGImagePropertyDPIWidth = "DPIWidth";
inline constexpr const char* kCGImagePropertyDPIHeight = "DPIHeight";
inline constexpr const char* kCGImagePropertyDepth = "Depth";
inline constexpr const char* kCGImagePropertyColorModel = "ColorModel";
inline constexpr const char* kCGImagePropertyHasAlpha = "HasAlpha";
inline constexpr const char* kCGImagePropertyProfileName = "ProfileName";
inline constexpr const char* kCGImagePropertyColorModelRGB = "RGB";
inline constexpr const char* kCGImagePropertyColorModelGray = "Gray";
inline constexpr const char* kCGImagePropertyColorModelCMYK = "CMYK";

// Sub-dictionaries.
inline constexpr const char* kCGImagePropertyTIFFDictionary = "{TIFF}";
inline constexpr const char* kCGImagePropertyExifDictionary = "{Exif}";
inline constexpr const char* kCGImagePropertyGPSDictionary = "{GPS}";

// {TIFF}
inline constexpr const char* kCGImagePropertyTIFFMake = "Make";
inline constexpr const char* kCGImagePropertyTIFFModel = "Model";
inline constexpr const char* kCGImagePropertyTIFFSoftware = "Software";
inline constexpr const char* kCGImagePropertyTIFFDateTime = "DateTime";
inline constexpr const char* kCGImagePropertyTIFFOrientation = "Orientation";
inline constexpr const char* kCGImagePropertyTIFFXResolution = "XResolution";
inline constexpr const char* kCGImagePropertyTIFFYResolution = "YResolution";
inline constexpr const char* kCGImagePropertyTIFFResolutionUnit = "ResolutionUnit";
inline constexpr const char* kCGImagePropertyTIFFArtist = "Artist";
inline constexpr const char* kCGImagePropertyTIFFCopyright = "Copyright";
inline constexpr const char* kCGImagePropertyTIFFImageDescription = "ImageDescription";
inline constexpr const char* kCGImagePropertyTIFFHostComputer = "HostComputer";

// {Exif}
inline constexpr const char* kCGImagePropertyExifDateTimeOriginal = "DateTimeOriginal";
inline constexpr const char* kCGImagePropertyExifDateTimeDigitized = "DateTimeDigitized";
inline constexpr const char* kCGImagePropertyExifExposureTime = "ExposureTime";
inline constexpr const char* kCGImagePropertyExifFNumber = "FNumber";
inline constexpr const char* kCGImagePropertyExifISOSpeedRatings = "ISOSpeedRatings";
inline constexpr const char* kCGImagePropertyExifExposureProgram = "ExposureProgram";
inline constexpr const char* kCGImagePropertyExifExposureBiasValue = "ExposureBiasValue";
inline constexpr const char* kCGImagePropertyExifExposureMode = "ExposureMode";
inline constexpr const char* kCGImagePropertyExifShutterSpeedValue = "ShutterSpeedValue";
inline constexpr const char* kCGImagePropertyExifApertureValue = "ApertureValue";
inline constexpr const char* kCGImagePropertyExifBrightnessValue = "BrightnessValue";
inline constexpr const char* kCGImagePropertyExifMeteringMode = "MeteringMode";
inline constexpr const char* kCGImagePropertyExifFlash = "Flash";
inline constexpr const char* kCGImagePropertyExifFocalLength = "FocalLength";
inline constexpr const char* kCGImagePropertyExifFocalLenIn35mmFilm = "FocalLenIn35mmFilm";
inline constexpr const char* kCGImagePropertyExifWhiteBalance = "WhiteBalance";
inline constexpr const char* kCGImagePropertyExifDigitalZoomRatio = "DigitalZoomRatio";
inline constexpr const char* kCGImagePropertyExifSceneCaptureType = "SceneCaptureType";
inline constexpr const char* kCGImagePropertyExifSensingMethod = "SensingMethod";
inline constexpr const char* kCGImagePropertyExifColorSpace = "ColorSpace";
inline constexpr const char* kCGImagePropertyExifPixelXDimension = "PixelXDimension";
inline constexpr const char* kCGImagePropertyExifPixelYDimension = "PixelYDimension";
inline constexpr const char* kCGImagePropertyExifUserComment = "UserComment";
inline constexpr const char* kCGImagePropertyExifLensMake = "LensMake";
inline constexpr const char* kCGImagePropertyExifLensModel = "LensModel";
inline constexpr const char* kCGImagePropertyExifSubsecTimeOriginal = "SubsecTimeOriginal";
inline constexpr const char* kCGImagePropertyExifSubsecTimeDigitized = "SubsecTimeDigitized";
inline constexpr const char* kCGImagePropertyExifOffsetTime = "OffsetTime";
inline constexpr const char* kCGImagePropertyExifOffsetTimeOriginal = "OffsetTimeOriginal";
inline constexpr const char* kCGImagePropertyExifOffsetTimeDigitized = "OffsetTimeDigitized";
inline constexpr const char* kCGImagePropertyExifVersion = "ExifVersion";
inline constexpr const char* kCGImagePropertyExifSubsecTime = "SubsecTime";
inline constexpr const char* kCGImagePropertyExifSubjectArea = "SubjectArea";
inline constexpr const char* kCGImagePropertyExifSubjectDistance = "SubjectDistance";
inline constexpr const char* kCGImagePropertyExifSubjectDistRange = "SubjectDistRange";
inline constexpr const char* kCGImagePropertyExifLensSpecification = "LensSpecification";
inline constexpr const char* kCGImagePropertyExifLensSerialNumber = "LensSerialNumber";
inline constexpr const char* kCGImagePropertyExifBodySerialNumber = "BodySerialNumber";
inline constexpr const char* kCGImagePropertyExifCameraOwnerName = "CameraOwnerName";
inline constexpr const char* kCGImagePropertyExifImageUniqueID = "ImageUniqueID";
inline constexpr const char* kCGImagePropertyExifSceneType = "SceneType";
inline constexpr const char* kCGImagePropertyExifFileSource = "FileSource";
inline constexpr const char* kCGImagePropertyExifCustomRendered = "CustomRendered";
inline constexpr const char* kCGImagePropertyExifContrast = "Contrast";
inline constexpr const char* kCGImagePropertyExifSaturation = "Saturation";
inline constexpr const char* kCGImagePropertyExifSharpness = "Sharpness";
inline constexpr const char* kCGImagePropertyExifGainControl = "GainControl";
inline constexpr const char* kCGImagePropertyExifLightSource = "LightSource";
inline constexpr const char* kCGImagePropertyExifMaxApertureValue = "MaxApertureValue";
inline constexpr const char* kCGImagePropertyExifExposureIndex = "ExposureIndex";
inline constexpr const char* kCGImagePropertyExifSensitivityType = "SensitivityType";
inline constexpr const char* kCGImagePropertyExifISOSpeed = "ISOSpeed";
inline constexpr const char* kCGImagePropertyExifRecommendedExposureIndex = "RecommendedExposureIndex";

// {GPS}
inline constexpr const char* kCGImagePropertyGPSVersion = "GPSVersion";
inline constexpr const char* kCGImagePropertyGPSLatitude = "Latitude";
inline constexpr const char* kCGImagePropertyGPSLatitudeRef = "LatitudeRef";
inline constexpr const char* kCGImagePropertyGPSLongitude = "Longitude";
inline constexpr const char* kCGImagePropertyGPSLongitudeRef = "LongitudeRef";
inline constexpr const char* kCGImagePropertyGPSAltitude = "Altitude";
inline constexpr const char* kCGImagePropertyGPSAltitudeRef = "AltitudeRef";
inline constexpr const char* kCGImagePropertyGPSTimeStamp = "TimeStamp";
inline constexpr const char* kCGImagePropertyGPSDateStamp = "DateStamp";
inline constexpr const char* kCGImagePropertyGPSSpeed = "Speed";
inline constexpr const char* kCGImagePropertyGPSSpeedRef = "SpeedRef";
inline constexpr const char* kCGImagePropertyGPSImgDirection = "ImgDirection";
inline constexpr const char* kCGImagePropertyGPSImgDirectionRef = "ImgDirectionRef";
inline constexpr const char* kCGImagePropertyGPSDestBearing = "DestBearing";
inline constexpr const char* kCGImagePropertyGPSDestBearingRef = "DestBearingRef";
inline constexpr const char* kCGImagePropertyGPSHPositioningError = "HPositioningError";
inline constexpr const char* kCGImagePropertyGPSTrack = "Track";
inline constexpr const char* kCGImagePropertyGPSTrackRef = "TrackRef";
inline constexpr const char* kCGImagePropertyGPSMapDatum = "MapDatum";
inline constexpr const char* kCGImagePropertyGPSStatus = "Status";
inline constexpr const char* kCGImagePropertyGPSMeasureMode = "MeasureMode";
inline constexpr const char* kCGImagePropertyGPSSatellites = "Satellites";
inline constexpr const char* kCGImagePropertyGPSDOP = "DOP";
inline constexpr const char* kCGImagePropertyGPSDestLatitude = "DestLatitude";
inline constexpr const char* kCGImagePropertyGPSDestLatitudeRef = "DestLatitudeRef";
inline constexpr const char* kCGImagePropertyGPSDestLongitude = "DestLongitude";
inline constexpr const char* kCGImagePropertyGPSDestLongitudeRef = "DestLongitudeRef";
inline constexpr const char* kCGImagePropertyGPSProcessingMethod = "ProcessingMethod";
inline constexpr const char* kCGImagePropertyGPSAreaInformation = "AreaInformation";
// The platform's own spelling.
inline constexpr const char* kCGImagePropertyGPSDifferental = "Differental";
