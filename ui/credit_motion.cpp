#include "ui/credit_motion.h"

#include <cstdlib>

namespace {

const unsigned kStarSeed = 69;

}  // namespace

void CreditMotion::SetPanelSize(int panelWidth, int panelHeight) {
  width = panelWidth;
  height = panelHeight;
}

void CreditMotion::AddLine(const std::string& text) {
  Credit credit;
  credit.text = text;
  lines.Append(credit);
}

int CreditMotion::RandomBelow(int limit) const { return limit > 0 ? std::rand() % limit : 0; }

void CreditMotion::Start() {
  std::srand(kStarSeed);
  stars.assign(layerCount > 0 ? layerCount : 0, {});
  layerColours.assign(stars.size(), 0);
  for (int i = 0; i < layerCount; ++i) {
    const uint32_t grey = static_cast<uint32_t>(255 - 50 * i) % 256;
    layerColours[i] = grey | grey << 8 | grey << 16;
    stars[i].resize(starsBase + i > 0 ? starsBase + i : 0);
    for (CreditStar& star : stars[i]) {
      star.x = static_cast<float>(RandomBelow(width));
      star.y = static_cast<float>(RandomBelow(height));
    }
  }
  int k = 0;
  for (bool more = lines.First(); more; more = lines.Next(), ++k)
    lines.Current().y = static_cast<float>(k * (lineHeight + lineGap) + height);
}

void CreditMotion::MoveStar(CreditStar& star, float factor, float frameFactor) const {
  star.x += factor * starSpeedX * frameFactor;
  star.y += factor * starSpeedY * frameFactor;
  if (star.x > width) {
    star.x -= width;
    star.y = static_cast<float>(RandomBelow(height));
  }
  if (star.y > height) {
    star.y -= height;
    star.x = static_cast<float>(RandomBelow(width));
  }
  if (star.x < 0) {
    star.x += width;
    star.y = static_cast<float>(RandomBelow(height));
  }
  if (star.y < 0) {
    star.y += height;
    star.x = static_cast<float>(RandomBelow(width));
  }
}

void CreditMotion::Step(float frameFactor, CreditCanvas& canvas) {
  const float divisor = layerCount > 1 ? static_cast<float>(layerCount - 1) : 1.0f;
  for (int i = static_cast<int>(stars.size()) - 1; i >= 0; --i) {
    const float factor = 1.5f - static_cast<float>(i) / divisor;
    for (CreditStar& star : stars[i]) {
      canvas.Star(static_cast<int>(star.x), static_cast<int>(star.y), layerColours[i]);
      MoveStar(star, factor, frameFactor);
    }
  }
  const float loop = static_cast<float>((lineHeight + lineGap) * lines.Count() + height);
  for (bool more = lines.First(); more; more = lines.Next()) {
    Credit& line = lines.Current();
    if (line.y <= height) canvas.Line(line.text, static_cast<int>(line.y), lineHeight);
    line.y += textSpeed * frameFactor;
    if (line.y + lineHeight <= 0) line.y += loop;
  }
}
