#pragma once

// Rectangles and sizes of page layouts, in dialog units or pixels.
namespace qxr {

struct Size {
    int width = 0;
    int height = 0;
    bool operator==(const Size& other) const { return width == other.width && height == other.height; }
};

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    // From its left and top edges to (excluding) its right and bottom ones.
    static Rect Spanning(int left, int top, int right, int bottom) { return {left, top, right - left, bottom - top}; }
    int Right() const { return x + width; }  // the first column beyond it
    int Bottom() const { return y + height; }
    bool IsEmpty() const { return width <= 0 || height <= 0; }
    bool operator==(const Rect& other) const
    {
        return x == other.x && y == other.y && width == other.width && height == other.height;
    }
};

}  // namespace qxr
