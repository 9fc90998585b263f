// Which pixels of a 32-bit bitmap hold anything but transparent black, and clearing them again:
// a layer's bitmap is mostly empty around its text, and only what was drawn needs compositing
// and clearing.
#pragma once

// A box of whole pixels [x0, x1) x [y0, y1); empty when it holds none.
struct PixelBox {
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0;
    bool empty() const { return x1 <= x0 || y1 <= y0; }
    bool operator==(const PixelBox&) const = default;
};

// The smallest box holding every pixel of the w x h bitmap (4 bytes a pixel, rows `stride`
// bytes apart) that is not all zero; empty when every pixel is.
PixelBox inkBox(const unsigned char* data, int stride, int w, int h);

// Sets the pixels of the box to zero.
void clearPixels(unsigned char* data, int stride, const PixelBox& box);
