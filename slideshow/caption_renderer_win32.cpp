#include "slideshow/caption_renderer_win32.h"

#include "foundation/rect_win32.h"

bool CaptionRenderer::FontParameters::operator==(const FontParameters& o) const {
  return face == o.face && height == o.height && width == o.width && weight == o.weight &&
         italic == o.italic && underline == o.underline && strikeOut == o.strikeOut &&
         precision == o.precision && quality == o.quality && pitch == o.pitch;
}

CaptionRenderer::~CaptionRenderer() {
  if (font != nullptr) DeleteObject(font);
  if (brush != nullptr) DeleteObject(brush);
}

void CaptionRenderer::SetSize(int32_t areaWidth, int32_t areaHeight, int32_t limit, int32_t depth) {
  width = areaWidth;
  height = areaHeight;
  tileLimit = limit;
  bits = depth;
  grid = CaptionGridFor(width, height, tileLimit);
  MakeWork();
}

void CaptionRenderer::SetBackground(COLORREF colour) {
  background = colour;
  if (brush != nullptr) DeleteObject(brush);
  brush = CreateSolidBrush(background);
  MakeWork();
}

void CaptionRenderer::MakeWork() {
  work.reset();
  auto surface = std::make_unique<cTexture>();
  try {
    surface->CreateSurfaceOfDepth(width, height, bits, -1, 1);
  } catch (...) {
    return;  // no work surface: SetText gives 0
  }
  work = std::move(surface);
}

bool CaptionRenderer::SetFont(const char* face, int32_t fontHeight, int32_t fontWidth,
                              int32_t weight, COLORREF colour, uint8_t italic, uint8_t underline,
                              uint8_t strikeOut, uint32_t outPrecision, uint32_t quality,
                              uint32_t pitchAndFamily) {
  textColour = colour;
  FontParameters wanted;
  wanted.face = face != nullptr ? face : "";
  wanted.height = fontHeight;
  wanted.width = fontWidth;
  wanted.weight = weight;
  wanted.italic = italic;
  wanted.underline = underline;
  wanted.strikeOut = strikeOut;
  wanted.precision = outPrecision;
  wanted.quality = quality;
  wanted.pitch = pitchAndFamily;
  if (font != nullptr && wanted == cachedFont) return true;
  HFONT made = CreateFontA(fontHeight, fontWidth, 0, 0, weight, italic, underline, strikeOut, 0,
                           outPrecision, 0, quality, pitchAndFamily, wanted.face.c_str());
  if (made == nullptr) return false;
  if (font != nullptr) DeleteObject(font);
  font = made;
  cachedFont = wanted;
  return true;
}

int32_t CaptionRenderer::SetText(const char* text, cTexture* const* textures, int32_t count) {
  if (font == nullptr || work == nullptr || work->GetSurface() == nullptr || text == nullptr ||
      textures == nullptr || count != grid.Count()) {
    return 0;
  }
  IDirectDrawSurface7* surface = work->GetSurface();
  HDC dc = nullptr;
  if (FAILED(surface->GetDC(&dc))) return 0;
  SetBkMode(dc, TRANSPARENT);
  HGDIOBJ oldFont = SelectObject(dc, font);
  RECT all = {0, 0, width, height};
  FillRect(dc, &all, brush != nullptr ? brush : static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  RECT area = all;
  if (shadow) {
    RECT shadowArea = {shadowOffset, shadowOffset, width, height};
    SetTextColor(dc, shadowColour);
    DrawTextA(dc, text, -1, &shadowArea, format);
    area = {0, 0, width - shadowOffset, height - shadowOffset};
  }
  SetTextColor(dc, textColour);
  const int32_t textHeight = DrawTextA(dc, text, -1, &area, format);
  SelectObject(dc, oldFont);
  surface->ReleaseDC(dc);

  targets = textures;
  targetCount = count;
  if (grid.Count() > 1 && stepwise) {
    nextTile = 0;
  } else {
    for (int32_t k = 0; k < targetCount; ++k) FillTexture(k);
    nextTile = targetCount;
  }
  return textHeight;
}

bool CaptionRenderer::Step() {
  if (nextTile >= targetCount) return false;
  FillTexture(nextTile++);
  return nextTile < targetCount;
}

void CaptionRenderer::FillTexture(int32_t k) {
  cTexture* texture = targets[k];
  if (texture == nullptr || texture->GetSurface() == nullptr || work == nullptr) return;
  IDirectDrawSurface7* destination = texture->GetSurface();
  RECT from = ToRECT(CaptionTileSource(grid, k));
  RECT to = {0, 0, grid.tileWidth, grid.tileHeight};
  if (FAILED(destination->Blt(&to, work->GetSurface(), &from, DDBLT_WAIT, nullptr))) return;
  if (alphaFromBrightness && bits == 32) {
    DDSURFACEDESC2 desc = {};
    desc.dwSize = sizeof(desc);
    if (SUCCEEDED(destination->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr))) {
      ApplyAlphaFromBrightness(static_cast<uint8_t*>(desc.lpSurface), grid.tileWidth,
                               grid.tileHeight, static_cast<int32_t>(desc.lPitch), alphaGain);
      destination->Unlock(nullptr);
    }
  }
  texture->GenerateMipMaps();
}
