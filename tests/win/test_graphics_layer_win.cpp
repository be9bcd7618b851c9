// The graphics layer and its textures on the system's DirectDraw 7 and
// Direct3D 7 (under Wine: wined3d over Mesa's software OpenGL on Xvfb).
//
// Under Wine on Xvfb a windowed primary-surface copy does not reach the
// window's device context, so windowed presenting is checked on the primary
// surface itself; full-screen flips do reach the window and are checked there.
#include <gtest/gtest.h>

#include <windows.h>

#include <ddraw.h>
#include <d3d.h>

#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "graphics/game_error_win32.h"
#include "graphics/graphics_layer_win32.h"
#include "graphics/release_win32.h"
#include "graphics/texture_win32.h"

namespace {

const char kLayerTestClass[] = "ZvGraphicsLayerWinTestClass";
const int kWindowX = 40;
const int kWindowY = 30;
const int kWindowWidth = 160;
const int kWindowHeight = 120;

// Collects what the code under test writes with OutputDebugStringA, which
// raises DBG_PRINTEXCEPTION_C; the handler lets it go on as usual.
class DebugOutputCapture {
 public:
  DebugOutputCapture() {
    texts().clear();
    handler_ = AddVectoredExceptionHandler(1, OnException);
  }
  ~DebugOutputCapture() { RemoveVectoredExceptionHandler(handler_); }
  static std::vector<std::string>& texts() {
    static std::vector<std::string> captured;
    return captured;
  }
  bool Saw(const std::string& text) const {
    for (const std::string& t : texts()) {
      if (t == text) return true;
    }
    return false;
  }
  bool SawPrefix(const std::string& prefix) const {
    for (const std::string& t : texts()) {
      if (t.compare(0, prefix.size(), prefix) == 0) return true;
    }
    return false;
  }

 private:
  static LONG CALLBACK OnException(EXCEPTION_POINTERS* info) {
    const EXCEPTION_RECORD* record = info->ExceptionRecord;
    if (record->ExceptionCode == DBG_PRINTEXCEPTION_C && record->NumberParameters >= 2) {
      texts().push_back(reinterpret_cast<const char*>(record->ExceptionInformation[1]));
    }
    return EXCEPTION_CONTINUE_SEARCH;
  }
  void* handler_;
};

void PumpMessages() {
  MSG message;
  while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

HWND CreateLayerTestWindow(bool visible) {
  HINSTANCE instance = GetModuleHandleA(nullptr);
  WNDCLASSA windowClass{};
  if (!GetClassInfoA(instance, kLayerTestClass, &windowClass)) {
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = instance;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = kLayerTestClass;
    if (RegisterClassA(&windowClass) == 0) return nullptr;
  }
  HWND window = CreateWindowExA(WS_EX_TOPMOST, kLayerTestClass, "Graphics layer test", WS_POPUP,
                                kWindowX, kWindowY, kWindowWidth, kWindowHeight, nullptr, nullptr,
                                instance, nullptr);
  if (window != nullptr && visible) {
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
  }
  PumpMessages();
  return window;
}

void DestroyLayerTestWindow(HWND window) {
  if (window != nullptr) DestroyWindow(window);
  PumpMessages();
  UnregisterClassA(kLayerTestClass, GetModuleHandleA(nullptr));
}

std::vector<GUID> filterAsked;

bool RecordAndAcceptAll(const D3DDEVICEDESC7& desc) {
  filterAsked.push_back(desc.deviceGUID);
  return true;
}

bool RejectAll(const D3DDEVICEDESC7&) { return false; }

bool OnlyRgb(const D3DDEVICEDESC7& desc) {
  return IsEqualGUID(desc.deviceGUID, IID_IDirect3DRGBDevice);
}

std::string ErrorText(const std::function<void()>& action) {
  try {
    action();
  } catch (const cGameError& error) {
    return error.GetText();
  }
  return "(nothing thrown)";
}

DDSURFACEDESC2 EmptyDesc() {
  DDSURFACEDESC2 desc;
  std::memset(&desc, 0, sizeof(desc));
  desc.dwSize = sizeof(desc);
  return desc;
}

DDSCAPS2 Caps(DWORD caps) {
  DDSCAPS2 result;
  std::memset(&result, 0, sizeof(result));
  result.dwCaps = caps;
  return result;
}

// Scales a masked channel to 0..255.
int Channel(DWORD pixel, DWORD mask) {
  if (mask == 0) return 0;
  DWORD shift = 0;
  while (((mask >> shift) & 1) == 0) ++shift;
  const DWORD max = mask >> shift;
  return static_cast<int>(((pixel & mask) >> shift) * 255 / max);
}

// The pixel at (x, y) as 0xRRGGBB, or -1 when the surface will not lock.
long ReadRgb(IDirectDrawSurface7* surface, int x, int y) {
  DDSURFACEDESC2 desc = EmptyDesc();
  if (FAILED(surface->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_READONLY, nullptr))) return -1;
  const uint8_t* row = static_cast<const uint8_t*>(desc.lpSurface) + y * desc.lPitch;
  const DDPIXELFORMAT& format = desc.ddpfPixelFormat;
  DWORD pixel = 0;
  std::memcpy(&pixel, row + x * (format.dwRGBBitCount / 8), format.dwRGBBitCount / 8);
  surface->Unlock(nullptr);
  return (Channel(pixel, format.dwRBitMask) << 16) | (Channel(pixel, format.dwGBitMask) << 8) |
         Channel(pixel, format.dwBBitMask);
}

int SurfaceBits(IDirectDrawSurface7* surface) {
  DDSURFACEDESC2 desc = EmptyDesc();
  if (FAILED(surface->GetSurfaceDesc(&desc))) return 0;
  return static_cast<int>(desc.ddpfPixelFormat.dwRGBBitCount);
}

bool ModeExists(DWORD width, DWORD height, DWORD bits) {
  DEVMODEA mode{};
  mode.dmSize = sizeof(mode);
  for (DWORD i = 0; EnumDisplaySettingsA(nullptr, i, &mode); ++i) {
    if (mode.dmPelsWidth == width && mode.dmPelsHeight == height && mode.dmBitsPerPel == bits) {
      return true;
    }
  }
  return false;
}

// --- Error type and release helper -------------------------------------------

TEST(GraphicsErrorsWin, GameErrorKeepsItsTextAndReportsItToTheDebugger) {
  DebugOutputCapture capture;
  const cGameError error("Couldn't create surface");
  EXPECT_EQ(error.GetText(), "Couldn't create surface");
  EXPECT_TRUE(capture.Saw("***\n*** [ERROR] cGameError thrown! text: [Couldn't create surface]\n***\n"));

  const std::string longText(3000, 'x');  // longer than any fixed buffer would be
  EXPECT_EQ(cGameError(longText).GetText(), longText);
  EXPECT_TRUE(capture.Saw("***\n*** [ERROR] cGameError thrown! text: [" + longText + "]\n***\n"));
}

struct FakeInterface {
  ULONG Release() { return --count; }
  ULONG count;
};

TEST(GraphicsErrorsWin, ExtraSafeReleaseReportsAnInterfaceStillHeld) {
  const char kNotEnough[] = "[ExtraSafeRelease]: ERROR: Interface was not released enough!";
  FakeInterface lastHolder{1};
  FakeInterface* pointer = &lastHolder;
  {
    DebugOutputCapture capture;
    ExtraSafeRelease(pointer);
    EXPECT_EQ(pointer, nullptr);
    EXPECT_EQ(lastHolder.count, 0u);
    EXPECT_FALSE(capture.Saw(kNotEnough));
    ExtraSafeRelease(pointer);  // null: nothing to do
    EXPECT_EQ(lastHolder.count, 0u);
  }
  FakeInterface shared{3};
  pointer = &shared;
  DebugOutputCapture capture;
  ExtraSafeRelease(pointer);
  EXPECT_EQ(pointer, nullptr);
  EXPECT_EQ(shared.count, 2u);
  EXPECT_TRUE(capture.Saw(kNotEnough));
}

// --- The layer ---------------------------------------------------------------

// One visible window for the whole suite: under Wine without a window
// manager, hiding or destroying a shown window waits two seconds.
class GraphicsLayerWin : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { window_ = CreateLayerTestWindow(true); }
  static void TearDownTestSuite() {
    DestroyLayerTestWindow(window_);
    window_ = nullptr;
  }

  void SetUp() override {
    ASSERT_NE(window_, nullptr);
    // A full-screen layer before may have moved and resized the window.
    SetWindowPos(window_, HWND_TOPMOST, kWindowX, kWindowY, kWindowWidth, kWindowHeight,
                 SWP_SHOWWINDOW);
    PumpMessages();
    savedMode_.dmSize = sizeof(savedMode_);
    modeSaved_ = EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &savedMode_) != FALSE;
  }

  void TearDown() override {
    delete theGraphicsLayer;
    EXPECT_EQ(theGraphicsLayer, nullptr);
    RestoreDisplayMode();
    PumpMessages();
  }

  // A full-screen layer may leave another mode behind; the other tests in
  // this process expect the desktop as it was.
  void RestoreDisplayMode() {
    if (!modeSaved_) return;
    DEVMODEA now{};
    now.dmSize = sizeof(now);
    if (!EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &now)) return;
    if (now.dmPelsWidth != savedMode_.dmPelsWidth || now.dmPelsHeight != savedMode_.dmPelsHeight ||
        now.dmBitsPerPel != savedMode_.dmBitsPerPel) {
      ChangeDisplaySettingsA(nullptr, 0);
    }
  }

  cGraphicsLayer* MakeWindowed(uint32_t flags = 0, DeviceFilter filter = nullptr) {
    return cGraphicsLayer::CreateGraphicsLayer(window_, false, 0, 0, flags, filter, nullptr);
  }
  cGraphicsLayer* MakeFullScreen(int width, int height, uint32_t flags = 0) {
    return cGraphicsLayer::CreateGraphicsLayer(window_, true, width, height, flags, nullptr, nullptr);
  }

  static HWND window_;
  bool modeSaved_ = false;
  DEVMODEA savedMode_{};
};

HWND GraphicsLayerWin::window_ = nullptr;

TEST_F(GraphicsLayerWin, WindowedLayerClearsAndCopiesToTheWindowsPlaceOnScreen) {
  cGraphicsLayer* layer = MakeWindowed();
  ASSERT_EQ(theGraphicsLayer, layer);
  ASSERT_NE(layer->GetDevice(), nullptr);
  EXPECT_FALSE(layer->IsFailed());
  EXPECT_FALSE(layer->IsFullScreen());
  EXPECT_TRUE(layer->IsInvalidated());  // the caller clears it after its own set-up
  EXPECT_EQ(layer->GetScreenRect().right, kWindowWidth);
  EXPECT_EQ(layer->GetScreenRect().bottom, kWindowHeight);
  EXPECT_EQ(layer->GetZBuffer(), nullptr);
  EXPECT_FALSE(layer->HasZBuffer());
  layer->SetInvalidated(false);

  layer->Clear(true, false, 0x00FF8000, 1.0f);
  EXPECT_EQ(ReadRgb(layer->GetBackBuffer(), kWindowWidth / 2, kWindowHeight / 2), 0xFF8000);
  EXPECT_EQ(layer->Flip(false), DD_OK);
  EXPECT_FALSE(layer->IsInvalidated());

  // The primary surface is the whole screen: the copy covers exactly the
  // window's client area there.
  IDirectDrawSurface7* primary = layer->GetPrimary();
  EXPECT_EQ(ReadRgb(primary, kWindowX, kWindowY), 0xFF8000);
  EXPECT_EQ(ReadRgb(primary, kWindowX + kWindowWidth - 1, kWindowY + kWindowHeight - 1), 0xFF8000);
  EXPECT_NE(ReadRgb(primary, kWindowX + kWindowWidth + 2, kWindowY + 2), 0xFF8000);
  EXPECT_NE(ReadRgb(primary, kWindowX - 2, kWindowY + 2), 0xFF8000);

  layer->Clear(true, false, 0x000000FF, 1.0f);
  EXPECT_EQ(layer->Flip(true), DD_OK);
  EXPECT_EQ(ReadRgb(primary, kWindowX + 3, kWindowY + kWindowHeight - 3), 0x0000FF);
}

TEST_F(GraphicsLayerWin, FullScreenLayerAtTheDesktopSizeFlipsIntoTheWindow) {
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  cGraphicsLayer* layer = MakeFullScreen(width, height);
  ASSERT_NE(layer->GetDevice(), nullptr);
  EXPECT_TRUE(layer->IsFullScreen());
  EXPECT_FALSE(layer->IsFailed());
  EXPECT_EQ(layer->GetScreenRect().right, width);
  EXPECT_EQ(layer->GetScreenRect().bottom, height);
  EXPECT_EQ(SurfaceBits(layer->GetBackBuffer()), 32);
  D3DVIEWPORT7 viewport{};
  ASSERT_EQ(layer->GetDevice()->GetViewport(&viewport), D3D_OK);
  EXPECT_EQ(viewport.dwWidth, static_cast<DWORD>(width));

  layer->Clear(true, false, 0x0000FF00, 1.0f);
  EXPECT_EQ(layer->Flip(false), DD_OK);
  EXPECT_EQ(ReadRgb(layer->GetPrimary(), width / 2, height / 2), 0x00FF00);
  PumpMessages();
  HDC dc = GetDC(window_);
  const COLORREF shown = GetPixel(dc, 10, 10);
  ReleaseDC(window_, dc);
  EXPECT_EQ(shown, RGB(0x00, 0xFF, 0x00));

  layer->Clear(true, false, 0x00FF0000, 1.0f);
  EXPECT_EQ(layer->Flip(true), DD_OK);
  EXPECT_EQ(ReadRgb(layer->GetPrimary(), 0, 0), 0xFF0000);
}

TEST_F(GraphicsLayerWin, FullScreenSixteenBitFlagAsksForSixteenBits) {
  const int width = GetSystemMetrics(SM_CXSCREEN);
  const int height = GetSystemMetrics(SM_CYSCREEN);
  cGraphicsLayer* layer = MakeFullScreen(width, height, kGraphicsFullScreen16);
  ASSERT_NE(layer->GetBackBuffer(), nullptr);
  EXPECT_EQ(SurfaceBits(layer->GetBackBuffer()), 16);
  layer->Clear(true, false, 0x00FF0000, 1.0f);
  EXPECT_EQ(ReadRgb(layer->GetBackBuffer(), 1, 1), 0xFF0000);
}

TEST_F(GraphicsLayerWin, UnavailableFullScreenModeFallsBackToSixteenBitsThenVga) {
  // No display offers this size, at either depth.
  const int width = 1000;
  const int height = 700;
  DebugOutputCapture capture;
  if (ModeExists(640, 480, 16)) {
    cGraphicsLayer* layer = MakeFullScreen(width, height);
    // The chain, the viewport and the projection follow the mode really set.
    EXPECT_EQ(layer->GetScreenRect().right, 640);
    EXPECT_EQ(layer->GetScreenRect().bottom, 480);
    EXPECT_EQ(SurfaceBits(layer->GetBackBuffer()), 16);
  } else {
    EXPECT_EQ(ErrorText([&] { MakeFullScreen(width, height); }), "Can't set display mode");
    ASSERT_NE(theGraphicsLayer, nullptr);
    EXPECT_TRUE(theGraphicsLayer->IsFailed());
    EXPECT_EQ(theGraphicsLayer->GetPrimary(), nullptr);
  }
  EXPECT_TRUE(capture.Saw("Inputted resolution failed, trying 640x480x16\n"));
}

TEST_F(GraphicsLayerWin, NoDeviceKindAllowedThrows) {
  EXPECT_EQ(ErrorText([this] { MakeWindowed(kGraphicsNoSoftware | kGraphicsNoHardware); }),
            "No valid devices were found");
  ASSERT_NE(theGraphicsLayer, nullptr);  // half built, left to its owner
  EXPECT_TRUE(theGraphicsLayer->IsFailed());
  EXPECT_EQ(theGraphicsLayer->GetDevice(), nullptr);
  delete theGraphicsLayer;

  EXPECT_EQ(ErrorText([this] { MakeWindowed(0, RejectAll); }), "No valid devices were found");
}

TEST_F(GraphicsLayerWin, DeviceSearchPrefersHardwareAndHonoursTheFilter) {
  filterAsked.clear();
  cGraphicsLayer* layer = MakeWindowed(0, RecordAndAcceptAll);
  ASSERT_FALSE(filterAsked.empty());
  const GUID chosen = layer->GetDeviceDesc().deviceGUID;
  // The filter only sees devices of the kind being searched for.
  EXPECT_TRUE(IsEqualGUID(filterAsked.front(), chosen));
  EXPECT_TRUE(IsEqualGUID(chosen, IID_IDirect3DTnLHalDevice) ||
              IsEqualGUID(chosen, IID_IDirect3DHALDevice));
  EXPECT_TRUE(layer->IsZInVideoMemory());
  delete layer;

  layer = MakeWindowed(kGraphicsNoHardware);
  EXPECT_TRUE(IsEqualGUID(layer->GetDeviceDesc().deviceGUID, IID_IDirect3DRGBDevice));
  EXPECT_FALSE(layer->IsZInVideoMemory());
  delete layer;

  layer = MakeWindowed(0, OnlyRgb);
  EXPECT_TRUE(IsEqualGUID(layer->GetDeviceDesc().deviceGUID, IID_IDirect3DRGBDevice));
  ASSERT_NE(layer->GetDevice(), nullptr);
}

TEST_F(GraphicsLayerWin, SecondLayerIsRefusedAndANewOneFollowsTheFirst) {
  cGraphicsLayer* first = cGraphicsLayer::CreateDirectDrawLayer(window_, nullptr);
  ASSERT_NE(first->GetDDraw(), nullptr);
  EXPECT_FALSE(first->IsFailed());
  EXPECT_EQ(ErrorText([] { cGraphicsLayer second(window_); }),
            "cGraphicsLayer object already instantiated\n");
  EXPECT_EQ(ErrorText([this] { MakeWindowed(); }), "cGraphicsLayer object already instantiated\n");
  EXPECT_EQ(theGraphicsLayer, first);

  delete first;
  EXPECT_EQ(theGraphicsLayer, nullptr);
  cGraphicsLayer* next = MakeWindowed();
  EXPECT_EQ(theGraphicsLayer, next);
  EXPECT_NE(next->GetDevice(), nullptr);
}

TEST_F(GraphicsLayerWin, DirectDrawOnlyLayerHasNoDeviceAndFailsSoftly) {
  cGraphicsLayer* layer = cGraphicsLayer::CreateDirectDrawLayer(window_, nullptr);
  ASSERT_NE(layer->GetDDraw(), nullptr);
  DebugOutputCapture capture;
  layer->InitD3D(0, nullptr);  // no surfaces: reported, not thrown
  EXPECT_TRUE(capture.Saw("[cGraphicsLayer::InitD3DWindowed]: Error! DDraw not set up correctly; "
                          "cannot set up D3D!\n"));
  EXPECT_TRUE(layer->IsFailed());
  EXPECT_EQ(layer->GetDevice(), nullptr);
  layer->MakeViewport();
  EXPECT_TRUE(capture.Saw("[cGraphicsLayer::MakeViewport]: no device\n"));
  layer->Clear(true, true, 0, 1.0f);
  EXPECT_EQ(layer->Flip(false), 0);
  layer->SetInvalidated(false);
  EXPECT_TRUE(FAILED(layer->BeginScene()));
  EXPECT_TRUE(layer->IsInvalidated());
}

TEST_F(GraphicsLayerWin, ZBufferOnlyWhenAskedAndAttachedToTheBackBuffer) {
  cGraphicsLayer* layer = MakeWindowed(kGraphicsZBuffer);
  ASSERT_NE(layer->GetZBuffer(), nullptr);
  EXPECT_TRUE(layer->HasZBuffer());
  const DDPIXELFORMAT& format = layer->GetZFormat();
  EXPECT_TRUE(format.dwFlags & DDPF_ZBUFFER);
  EXPECT_GE(format.dwZBufferBitDepth - format.dwStencilBitDepth, 15u);
  DDSCAPS2 caps = Caps(DDSCAPS_ZBUFFER);
  IDirectDrawSurface7* attached = nullptr;
  ASSERT_EQ(layer->GetBackBuffer()->GetAttachedSurface(&caps, &attached), DD_OK);
  EXPECT_EQ(attached, layer->GetZBuffer());
  attached->Release();
  DebugOutputCapture capture;
  layer->Clear(true, true, 0x00102030, 0.5f);
  EXPECT_FALSE(capture.Saw("[cGraphicsLayer::Clear]: Clear failed\n"));
  EXPECT_EQ(ReadRgb(layer->GetBackBuffer(), 3, 3), 0x102030);
  delete layer;

  layer = MakeWindowed(kGraphicsZBuffer24 | kGraphicsStencil8);
  ASSERT_NE(layer->GetZBuffer(), nullptr);
  EXPECT_GE(layer->GetZFormat().dwZBufferBitDepth - layer->GetZFormat().dwStencilBitDepth, 24u);
  EXPECT_GE(layer->GetZFormat().dwStencilBitDepth, 8u);
}

TEST_F(GraphicsLayerWin, ViewportProjectionAndTransforms) {
  cGraphicsLayer* layer = MakeWindowed();
  IDirect3DDevice7* device = layer->GetDevice();
  ASSERT_NE(device, nullptr);

  D3DVIEWPORT7 viewport{};
  ASSERT_EQ(device->GetViewport(&viewport), D3D_OK);
  EXPECT_EQ(viewport.dwWidth, static_cast<DWORD>(kWindowWidth));
  EXPECT_EQ(viewport.dwHeight, static_cast<DWORD>(kWindowHeight));
  EXPECT_FLOAT_EQ(viewport.dvMaxZ, 1.0f);

  D3DMATRIX projection{};
  ASSERT_EQ(device->GetTransform(D3DTRANSFORMSTATE_PROJECTION, &projection), D3D_OK);
  const float q = 1000.0f / 999.0f;
  EXPECT_NEAR(projection._11, 0.75f, 1e-5);  // aspect 120 / 160, cot(pi / 4) = 1
  EXPECT_NEAR(projection._22, 1.0f, 1e-5);
  EXPECT_NEAR(projection._33, q, 1e-5);
  EXPECT_FLOAT_EQ(projection._34, 1.0f);
  EXPECT_NEAR(projection._43, -q, 1e-5);
  EXPECT_FLOAT_EQ(projection._44, 0.0f);

  D3DMATRIX world{};
  world._11 = 2.0f;
  world._22 = 3.0f;
  world._33 = 4.0f;
  world._41 = 5.0f;
  world._44 = 1.0f;
  layer->SetWorldMatrix(world);
  D3DMATRIX back{};
  layer->GetWorldMatrix(&back);
  EXPECT_EQ(std::memcmp(&world, &back, sizeof(world)), 0);

  D3DMATRIX view{};
  view._11 = view._22 = view._33 = view._44 = 1.0f;
  view._42 = -7.0f;
  layer->SetViewMatrix(view);
  ASSERT_EQ(device->GetTransform(D3DTRANSFORMSTATE_VIEW, &back), D3D_OK);
  EXPECT_FLOAT_EQ(back._42, -7.0f);

  layer->SetInvalidated(false);
  EXPECT_EQ(layer->BeginScene(), D3D_OK);
  EXPECT_EQ(layer->EndScene(), D3D_OK);
  EXPECT_FALSE(layer->IsInvalidated());
}

TEST_F(GraphicsLayerWin, FailedPresentIsReportedAndGivesZero) {
  cGraphicsLayer* layer = MakeWindowed();
  layer->SetInvalidated(false);
  DDSURFACEDESC2 desc = EmptyDesc();
  ASSERT_EQ(layer->GetBackBuffer()->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
  DebugOutputCapture capture;
  EXPECT_EQ(layer->Flip(true), 0);  // a locked source cannot be copied
  layer->GetBackBuffer()->Unlock(nullptr);
  EXPECT_TRUE(capture.Saw("[cGraphicsLayer::Flip]: Blt failed\n"));
  EXPECT_FALSE(layer->IsInvalidated());  // only a lost surface ends drawing
}

TEST_F(GraphicsLayerWin, TeardownReleasesEverythingItMade) {
  cGraphicsLayer* layer = MakeWindowed(kGraphicsZBuffer);
  {
    cTexture texture;
    ASSERT_NE(texture.CreateSurface32(32, 32, 0, 1), nullptr);
    ASSERT_EQ(layer->GetDevice()->SetTexture(0, texture.GetSurface()), D3D_OK);
  }
  // Every surface holds the DirectDraw object: one left over (z-buffer,
  // back buffer, a texture still bound) keeps it alive and is reported.
  DebugOutputCapture capture;
  delete layer;
  EXPECT_EQ(theGraphicsLayer, nullptr);
  EXPECT_FALSE(capture.SawPrefix("[ExtraSafeRelease]"));
}

// --- Textures ---------------------------------------------------------------

// Textures need a device but no visible window: a hidden one is quick to
// make and destroy.
class TextureWin : public ::testing::Test {
 protected:
  void SetUp() override {
    window_ = CreateLayerTestWindow(false);
    ASSERT_NE(window_, nullptr);
    cGraphicsLayer::CreateGraphicsLayer(window_, false, 0, 0, 0, nullptr, nullptr);
  }
  void TearDown() override {
    delete theGraphicsLayer;
    DestroyLayerTestWindow(window_);
  }
  HWND window_ = nullptr;
};

int ChainLength(IDirectDrawSurface7* top) {
  int levels = 1;
  IDirectDrawSurface7* current = top;
  current->AddRef();
  DDSCAPS2 caps = Caps(DDSCAPS_TEXTURE | DDSCAPS_MIPMAP);
  IDirectDrawSurface7* next = nullptr;
  while (SUCCEEDED(current->GetAttachedSurface(&caps, &next)) && next != nullptr) {
    ++levels;
    current->Release();
    current = next;
    next = nullptr;
  }
  current->Release();
  return levels;
}

// Level `index` of the chain below `top`, with a reference of its own.
IDirectDrawSurface7* Level(IDirectDrawSurface7* top, int index) {
  IDirectDrawSurface7* current = top;
  current->AddRef();
  DDSCAPS2 caps = Caps(DDSCAPS_TEXTURE | DDSCAPS_MIPMAP);
  for (int i = 0; i < index && current != nullptr; ++i) {
    IDirectDrawSurface7* next = nullptr;
    if (FAILED(current->GetAttachedSurface(&caps, &next))) next = nullptr;
    current->Release();
    current = next;
  }
  return current;
}

struct Locked {
  explicit Locked(IDirectDrawSurface7* target) : surface(target), desc(EmptyDesc()) {
    ok = SUCCEEDED(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr));
  }
  ~Locked() {
    if (ok) surface->Unlock(nullptr);
  }
  template <class Pixel>
  Pixel& At(int x, int y) {
    return reinterpret_cast<Pixel*>(static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch)[x];
  }
  IDirectDrawSurface7* surface;
  DDSURFACEDESC2 desc;
  bool ok = false;
};

// A 4 x 4 top level whose 2 x 2 quads average to known values.
const uint32_t kTop32[4][4] = {
    {0x10203040, 0x12223242, 0xFF000000, 0x01010101},
    {0x14243444, 0x16263646, 0x00FF0000, 0x02020202},
    {0x80808080, 0x80808080, 0x00000000, 0xFFFFFFFF},
    {0x80808080, 0x81818181, 0x00000003, 0xFFFFFFFF},
};
// Per byte and truncated: 0x4C / 4 = 0x13 ...; 0x102 / 4 = 0x40, 3 / 4 = 0;
// 0x201 / 4 = 0x80; 0x1FE / 4 = 0x7F.
const uint32_t kLevel1Of32[2][2] = {{0x13233343, 0x40400000}, {0x80808080, 0x7F7F7F80}};

void FillTop32(IDirectDrawSurface7* top) {
  Locked level(top);
  ASSERT_TRUE(level.ok);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) level.At<uint32_t>(x, y) = kTop32[y][x];
  }
}

void ExpectLevel1Of32(IDirectDrawSurface7* child) {
  Locked level(child);
  ASSERT_TRUE(level.ok);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 2; ++x) {
      EXPECT_EQ(level.At<uint32_t>(x, y), kLevel1Of32[y][x]) << x << "," << y;
    }
  }
}

// 5-6-5 pixels: red 31, green 63, blue 31 at most.
uint16_t Rgb565(int r, int g, int b) { return static_cast<uint16_t>((r << 11) | (g << 5) | b); }

void FillTop16(IDirectDrawSurface7* top) {
  Locked level(top);
  ASSERT_TRUE(level.ok);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 4; ++x) level.At<uint16_t>(x, y) = Rgb565(x * 8 + y, x * 16 + y * 2, 31 - x);
  }
}

// Quad (cx, cy): red (8(2cx)+8(2cx+1))*2/4 + (2cy+2cy+1)*2/4, truncated per channel.
uint16_t ExpectedLevel1Of16(int cx, int cy) {
  int r = 0, g = 0, b = 0;
  for (int dy = 0; dy < 2; ++dy) {
    for (int dx = 0; dx < 2; ++dx) {
      const int x = 2 * cx + dx, y = 2 * cy + dy;
      r += x * 8 + y;
      g += x * 16 + y * 2;
      b += 31 - x;
    }
  }
  return Rgb565(r / 4, g / 4, b / 4);
}

void ExpectLevel1Of16(IDirectDrawSurface7* child) {
  Locked level(child);
  ASSERT_TRUE(level.ok);
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 2; ++x) EXPECT_EQ(level.At<uint16_t>(x, y), ExpectedLevel1Of16(x, y));
  }
}

TEST_F(TextureWin, FormatsAreEnumeratedOnceAndMatchedByMaskSizes) {
  cTexture texture;
  ASSERT_FALSE(cTexture::GetTextureFormats().empty());
  const size_t count = cTexture::GetTextureFormats().size();
  cTexture another;
  EXPECT_EQ(cTexture::GetTextureFormats().size(), count);

  ASSERT_NE(texture.CreateSurface32(16, 16, 0, 1), nullptr);
  const DDPIXELFORMAT& argb = texture.GetDesc().ddpfPixelFormat;
  EXPECT_EQ(argb.dwRGBBitCount, 32u);
  EXPECT_EQ(argb.dwRGBAlphaBitMask, 0xFF000000u);
  EXPECT_EQ(argb.dwRBitMask, 0x00FF0000u);
  EXPECT_EQ(argb.dwBBitMask, 0x000000FFu);
  EXPECT_EQ(texture.GetStage(), 0);
  EXPECT_TRUE(texture.GetName().empty());

  ASSERT_NE(another.CreateSurfaceOfDepth(16, 16, 16, 1, 1), nullptr);
  const DDPIXELFORMAT& rgb565 = another.GetDesc().ddpfPixelFormat;
  EXPECT_EQ(rgb565.dwRGBBitCount, 16u);
  EXPECT_EQ(rgb565.dwRBitMask, 0xF800u);
  EXPECT_EQ(rgb565.dwGBitMask, 0x07E0u);
  EXPECT_EQ(rgb565.dwRGBAlphaBitMask, 0u);
  EXPECT_EQ(SurfaceBits(another.GetSurface()), 16);
  EXPECT_EQ(another.GetStage(), 1);

  DDPIXELFORMAT wanted{};
  wanted.dwRBitMask = 0x7;  // three bits of red and nothing else: no such format
  DDPIXELFORMAT found{};
  EXPECT_FALSE(cTexture::FindTextureFormat(wanted, &found));
}

TEST_F(TextureWin, MipChainLengthFollowsTheLevelRuleInBothDepths) {
  ASSERT_TRUE(cTexture::IsMipmapSupported()) << "the device reports no mip filter";
  struct Case {
    int width, height, asked, levels;
  };
  const Case cases[] = {{1, 1, 5, 1}, {64, 64, 20, 7}, {64, 64, 3, 3}, {64, 64, 0, 1},
                        {256, 512, 12, 9}, {256, 512, 9, 9}, {32, 8, 3, 3}};
  for (int bits : {32, 16}) {
    for (const Case& c : cases) {
      cTexture texture;
      IDirectDrawSurface7* surface = texture.CreateSurfaceOfDepth(c.width, c.height, bits, 0, c.asked);
      ASSERT_NE(surface, nullptr);
      EXPECT_EQ(texture.GetSurface(), surface);
      EXPECT_EQ(ChainLength(surface), c.levels)
          << bits << " bits, " << c.width << "x" << c.height << " asked " << c.asked;
      EXPECT_EQ(SurfaceBits(surface), bits);
    }
  }
}

TEST_F(TextureWin, StageMinusOneMakesAPlainOffScreenSurface) {
  cTexture texture;
  IDirectDrawSurface7* surface = texture.CreateSurface32(32, 32, -1, 6);
  ASSERT_NE(surface, nullptr);
  DDSURFACEDESC2 desc = EmptyDesc();
  ASSERT_EQ(surface->GetSurfaceDesc(&desc), DD_OK);
  EXPECT_TRUE(desc.ddsCaps.dwCaps & DDSCAPS_OFFSCREENPLAIN);
  EXPECT_FALSE(desc.ddsCaps.dwCaps & DDSCAPS_TEXTURE);
  EXPECT_FALSE(desc.ddsCaps.dwCaps & DDSCAPS_MIPMAP);
  EXPECT_EQ(ChainLength(surface), 1);
  EXPECT_EQ(texture.GetStage(), -1);
}

TEST_F(TextureWin, GenerateMipMapsAveragesEveryLevelAt32Bits) {
  ASSERT_TRUE(cTexture::IsMipmapSupported()) << "the device reports no mip filter";
  cTexture texture;
  IDirectDrawSurface7* top = texture.CreateSurface32(4, 4, 0, 3);
  ASSERT_EQ(ChainLength(top), 3);
  FillTop32(top);
  texture.GenerateMipMaps();

  IDirectDrawSurface7* level1 = Level(top, 1);
  IDirectDrawSurface7* level2 = Level(top, 2);
  ASSERT_NE(level1, nullptr);
  ASSERT_NE(level2, nullptr);
  ExpectLevel1Of32(level1);
  {
    Locked last(level2);
    ASSERT_TRUE(last.ok);
    // Per byte: (0x13+0x40+0x80+0x7F)/4 = 0x54, (0x23+0x40+0x80+0x7F)/4 = 0x58,
    // (0x33+0x00+0x80+0x7F)/4 = 0x4C, (0x43+0x00+0x80+0x80)/4 = 0x50.
    EXPECT_EQ(last.At<uint32_t>(0, 0), 0x54584C50u);
  }
  level1->Release();
  level2->Release();
}

TEST_F(TextureWin, GenerateMipMapsAveragesUnderTheMasksAt16Bits) {
  ASSERT_TRUE(cTexture::IsMipmapSupported()) << "the device reports no mip filter";
  cTexture texture;
  IDirectDrawSurface7* top = texture.CreateSurface16(4, 4, 0, 2);
  ASSERT_EQ(ChainLength(top), 2);
  FillTop16(top);
  texture.GenerateMipMaps();
  IDirectDrawSurface7* level1 = Level(top, 1);
  ASSERT_NE(level1, nullptr);
  ExpectLevel1Of16(level1);
  level1->Release();
}

TEST_F(TextureWin, FillMipLevelWorksOnPlainSurfacesOfBothDepths) {
  cTexture parent32, child32, parent16, child16;
  FillTop32(parent32.CreateSurface32(4, 4, -1, 1));
  cTexture::FillMipLevel(parent32.GetSurface(), child32.CreateSurface32(2, 2, -1, 1));
  ExpectLevel1Of32(child32.GetSurface());

  FillTop16(parent16.CreateSurface16(4, 4, -1, 1));
  cTexture::FillMipLevel(parent16.GetSurface(), child16.CreateSurface16(2, 2, -1, 1));
  ExpectLevel1Of16(child16.GetSurface());
}

TEST_F(TextureWin, DestructorReleasesTheSurface) {
  IDirectDrawSurface7* surface = nullptr;
  {
    cTexture texture;
    surface = texture.CreateSurface16(8, 8, 0, 4);
    ASSERT_NE(surface, nullptr);
    surface->AddRef();
  }
  EXPECT_EQ(surface->Release(), 0u);

  std::unique_ptr<cTexture[]> tiles(new cTexture[3]);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(tiles[i].GetSurface(), nullptr);
}

}  // namespace
