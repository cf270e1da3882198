#include "platform/canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <utility>

namespace pelisto {

const Rgb Canvas::kInitialPalette[16] = {
    {0, 0, 0},     {128, 128, 128}, {0, 0, 128},   {0, 0, 255},
    {128, 0, 0},   {255, 0, 0},     {128, 0, 128}, {255, 0, 255},
    {0, 128, 0},   {0, 255, 0},     {0, 128, 128}, {0, 255, 255},
    {128, 128, 0}, {255, 255, 0},   {192, 192, 192}, {255, 255, 255},
};

Canvas::Canvas(int width, int height)
    : m_width(width), m_height(height),
      m_pixels(static_cast<size_t>(width) * height, Rgb{255, 255, 255}.pixel()) {
  std::copy(std::begin(kInitialPalette), std::end(kInitialPalette), m_palette);
}

void Canvas::plot(int x, int y, uint32_t pixel) {
  if (x < 0 || y < 0 || x >= m_width || y >= m_height) return;
  uint32_t& dst = m_pixels[static_cast<size_t>(y) * m_width + x];
  if (m_mode == DrawMode::kXor) {
    dst ^= (pixel & 0x00ffffffu);
  } else {
    dst = pixel;
  }
}

void Canvas::changed(PixelBox box) {
  box.left = std::max(box.left, 0);
  box.top = std::max(box.top, 0);
  box.right = std::min(box.right, m_width - 1);
  box.bottom = std::min(box.bottom, m_height - 1);
  if (!box.empty()) {
    if (m_dirty.empty()) {
      m_dirty = box;
    } else {
      m_dirty.left = std::min(m_dirty.left, box.left);
      m_dirty.top = std::min(m_dirty.top, box.top);
      m_dirty.right = std::max(m_dirty.right, box.right);
      m_dirty.bottom = std::max(m_dirty.bottom, box.bottom);
    }
  }
  if (m_listener) m_listener();
}

PixelBox Canvas::takeDirty() {
  const PixelBox box = m_dirty;
  m_dirty = PixelBox{};
  return box;
}

void Canvas::setPixel(int x, int y, Rgb color) {
  plot(x, y, color.pixel());
  changed(PixelBox{x, y, x, y});
}

Rgb Canvas::pixel(int x, int y) const {
  if (x < 0 || y < 0 || x >= m_width || y >= m_height) return Rgb{};
  return Rgb::fromPixel(m_pixels[static_cast<size_t>(y) * m_width + x]);
}

void Canvas::line(int x1, int y1, int x2, int y2, Rgb color) {
  const uint32_t p = color.pixel();
  // Bresenham over the major axis; every pixel is visited exactly once, so
  // an exclusive-or line drawn twice restores the picture.
  int dx = std::abs(x2 - x1), sx = x1 < x2 ? 1 : -1;
  int dy = -std::abs(y2 - y1), sy = y1 < y2 ? 1 : -1;
  int err = dx + dy;
  int x = x1, y = y1;
  while (true) {
    plot(x, y, p);
    if (x == x2 && y == y2) break;
    int e2 = 2 * err;
    if (e2 >= dy) { err += dy; x += sx; }
    if (e2 <= dx) { err += dx; y += sy; }
  }
  m_penX = x2;
  m_penY = y2;
  changed(PixelBox{std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)});
}

void Canvas::fillBox(int x1, int y1, int x2, int y2, Rgb color) {
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  x1 = std::max(x1, 0);
  y1 = std::max(y1, 0);
  x2 = std::min(x2, m_width - 1);
  y2 = std::min(y2, m_height - 1);
  const uint32_t p = color.pixel();
  for (int y = y1; y <= y2; ++y) {
    for (int x = x1; x <= x2; ++x) plot(x, y, p);
  }
  changed(PixelBox{x1, y1, x2, y2});
}

void Canvas::drawText(int x, int y, const std::string& utf8, const FontSpec& font, Rgb color) {
  m_textLog.push_back(TextDraw{x, y, utf8, font, color});
  if (m_renderer) m_renderer->drawText(*this, x, y, utf8, font, color);
  changed();
}

}  // namespace pelisto
