// Drawing on a window's client area, in pixels with the origin at the top
// left: what the progress window of a scale run needs, and nothing more.
#ifndef JKRESCALE_PLATFORM_DRAWING_H_
#define JKRESCALE_PLATFORM_DRAWING_H_

#include <cstdint>
#include <string>

namespace jk {

// A colour packed as red + green * 256 + blue * 65536.
using Colour = uint32_t;

inline constexpr Colour PackColour(int red, int green, int blue) {
  return Colour(red & 0xff) | Colour(green & 0xff) << 8 | Colour(blue & 0xff) << 16;
}
inline constexpr Colour kWhite = PackColour(255, 255, 255);
inline constexpr Colour kBlack = PackColour(0, 0, 0);

class DrawingSurface {
 public:
  virtual ~DrawingSurface() = default;

  // Fills the box from (x0, y0) to (x1, y1), both corners included.
  virtual void FillBox(double x0, double y0, double x1, double y1, Colour colour) = 0;
  // Draws `text` with its top left corner at (x, y).
  virtual void DrawText(double x, double y, const std::string& text, Colour colour) = 0;
  // Lets pending window events run once (the window repaints). An
  // implementation may skip repaints to keep a rate it can afford, as long
  // as the last state drawn is shown in the end.
  virtual void PumpEvents() = 0;
};

// A surface that draws nothing.
class NullSurface : public DrawingSurface {
 public:
  void FillBox(double, double, double, double, Colour) override {}
  void DrawText(double, double, const std::string&, Colour) override {}
  void PumpEvents() override {}
};

}  // namespace jk

#endif  // JKRESCALE_PLATFORM_DRAWING_H_
