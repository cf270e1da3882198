// A window's client area as a backing bitmap: 32-bit pixels (0xffRRGGBB),
// a 16-colour palette, a pen position, overwrite or exclusive-or drawing,
// and clipping to the client area. Lines and boxes are rasterised here, so
// tests can check exact pixels; text is rendered by the backend's
// TextRenderer into the same pixels (the headless backend only records it).
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace pelisto {

struct Rgb {
  uint8_t r = 0, g = 0, b = 0;
  friend bool operator==(const Rgb&, const Rgb&) = default;
  uint32_t pixel() const { return 0xff000000u | (uint32_t(r) << 16) | (uint32_t(g) << 8) | b; }
  static Rgb fromPixel(uint32_t p) {
    return Rgb{uint8_t(p >> 16), uint8_t(p >> 8), uint8_t(p)};
  }
};

// A font as the program names it: a face ("ＭＳ Ｐゴシック", "ＭＳ 明朝", …),
// a character height in pixels, and a width factor (2: glyphs twice as wide).
struct FontSpec {
  std::string face;
  int heightPx = 13;
  int widthFactor = 1;
  friend bool operator==(const FontSpec&, const FontSpec&) = default;
};

// One text drawing, as recorded by every canvas.
struct TextDraw {
  int x = 0, y = 0;
  std::string text;
  FontSpec font;
  Rgb color;
};

class Canvas;

class TextRenderer {
 public:
  virtual ~TextRenderer() = default;
  // Draws utf8 with its top-left corner at (x, y) in color, background not
  // filled, into canvas's pixels (through Canvas::pixels()).
  virtual void drawText(Canvas& canvas, int x, int y, const std::string& utf8,
                        const FontSpec& font, Rgb color) = 0;
};

// The entries of the 16-colour palette, named by the colour each starts as
// (Canvas::kInitialPalette).
enum PaletteEntry : int {
  kPaletteBlack, kPaletteGrey, kPaletteNavy, kPaletteBlue,
  kPaletteMaroon, kPaletteRed, kPalettePurple, kPaletteMagenta,
  kPaletteGreen, kPaletteLime, kPaletteTeal, kPaletteCyan,
  kPaletteOlive, kPaletteYellow, kPaletteSilver, kPaletteWhite,
};

enum class DrawMode { kCopy, kXor };

// A box of pixels, both corners included; empty when right < left.
struct PixelBox {
  int left = 0, top = 0, right = -1, bottom = -1;
  bool empty() const { return right < left || bottom < top; }
  friend bool operator==(const PixelBox&, const PixelBox&) = default;
};

class Canvas {
 public:
  static const Rgb kInitialPalette[16];

  Canvas(int width, int height);
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  int width() const { return m_width; }
  int height() const { return m_height; }

  Rgb palette(int index) const { return m_palette[index & 15]; }
  void setPalette(int index, Rgb color) { m_palette[index & 15] = color; }

  DrawMode mode() const { return m_mode; }
  void setMode(DrawMode mode) { m_mode = mode; }

  int penX() const { return m_penX; }
  int penY() const { return m_penY; }

  // Line from (x1, y1) to (x2, y2), both end points drawn, in the current
  // mode; the pen ends at (x2, y2). Pixels outside the client area are clipped.
  void line(int x1, int y1, int x2, int y2, Rgb color);
  void line(int x1, int y1, int x2, int y2, int paletteIndex) {
    line(x1, y1, x2, y2, palette(paletteIndex));
  }
  // Line from the pen position to (x, y).
  void lineTo(int x, int y, int paletteIndex) { line(m_penX, m_penY, x, y, paletteIndex); }
  // Filled box with corners (x1, y1) and (x2, y2), both included, in the
  // current mode.
  void fillBox(int x1, int y1, int x2, int y2, Rgb color);
  void fillBox(int x1, int y1, int x2, int y2, int paletteIndex) {
    fillBox(x1, y1, x2, y2, palette(paletteIndex));
  }
  // Text through the renderer (recorded in textLog() in every case).
  void drawText(int x, int y, const std::string& utf8, const FontSpec& font, Rgb color);

  Rgb pixel(int x, int y) const;
  void setPixel(int x, int y, Rgb color);  // honours the mode and clipping
  uint32_t* pixels() { return m_pixels.data(); }
  const uint32_t* pixels() const { return m_pixels.data(); }

  void setTextRenderer(TextRenderer* renderer) { m_renderer = renderer; }
  const std::vector<TextDraw>& textLog() const { return m_textLog; }

  // Called after every drawing operation (the desktop schedules a repaint).
  void setChangeListener(std::function<void()> listener) { m_listener = std::move(listener); }
  // Marks the whole client area changed.
  void changed() { changed(PixelBox{0, 0, m_width - 1, m_height - 1}); }
  // The smallest box holding every pixel changed since the last call
  // (empty if none), so that a repaint can be limited to it.
  PixelBox takeDirty();

 private:
  void plot(int x, int y, uint32_t pixel);
  // Marks box (clipped to the client area) changed and tells the listener.
  void changed(PixelBox box);

  int m_width;
  int m_height;
  std::vector<uint32_t> m_pixels;
  Rgb m_palette[16];
  DrawMode m_mode = DrawMode::kCopy;
  int m_penX = 0, m_penY = 0;
  TextRenderer* m_renderer = nullptr;
  std::vector<TextDraw> m_textLog;
  std::function<void()> m_listener;
  PixelBox m_dirty;
};

}  // namespace pelisto
