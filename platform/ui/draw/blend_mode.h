// Stroke styles and compositing modes shared by paths, contexts and layers.
#pragma once

enum class CGLineCap { Butt = 0, Round = 1, Square = 2 };
enum class CGLineJoin { Miter = 0, Round = 1, Bevel = 2 };

// Porter-Duff and separable blend modes, numbered as on the platform.
enum class CGBlendMode {
    Normal = 0,
    Multiply = 1,
    Screen = 2,
    Overlay = 3,
    Darken = 4,
    Lighten = 5,
    ColorDodge = 6,
    ColorBurn = 7,
    SoftLight = 8,
    HardLight = 9,
    Difference = 10,
    Exclusion = 11,
    Hue = 12,
    Saturation = 13,
    Color = 14,
    Luminosity = 15,
    Clear = 16,
    Copy = 17,
    SourceIn = 18,
    SourceOut = 19,
    SourceAtop = 20,
    DestinationOver = 21,
    DestinationIn = 22,
    DestinationOut = 23,
    DestinationAtop = 24,
    XOR = 25,
    PlusDarker = 26,
    PlusLighter = 27,
};

enum class CGPathDrawingMode { Fill = 0, EOFill = 1, Stroke = 2, FillStroke = 3, EOFillStroke = 4 };

enum class CGInterpolationQuality { Default = 0, None = 1, Low = 2, Medium = 4, High = 3 };
