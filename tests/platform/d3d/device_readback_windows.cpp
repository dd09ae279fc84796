// The device tests' read-back on Windows, from Direct3D's public API alone: the
// back buffer is copied into a system-memory surface of its size and format, which
// is locked and read row by row (rows are Pitch bytes apart, row 0 at the top).
#include <cstring>
#include <memory>

#include "device_fixture.h"

namespace {

struct Releaser {
  void operator()(IUnknown *object) const { object->Release(); }
};
using SurfacePtr = std::unique_ptr<IDirect3DSurface9, Releaser>;

}  // namespace

void DeviceTest::readBack() {
  IDirect3DSurface9 *raw = nullptr;
  ASSERT_EQ(device_->GetBackBuffer(0, 0, D3DBACKBUFFER_TYPE_MONO, &raw), D3D_OK);
  const SurfacePtr target(raw);
  D3DSURFACE_DESC desc;
  ASSERT_EQ(target->GetDesc(&desc), D3D_OK);
  ASSERT_EQ(desc.Format, D3DFMT_A8R8G8B8);
  ASSERT_EQ(desc.Width, kWidth);
  ASSERT_EQ(desc.Height, kHeight);
  raw = nullptr;
  ASSERT_EQ(
      device_->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format, D3DPOOL_SYSTEMMEM, &raw, nullptr),
      D3D_OK);
  const SurfacePtr copy(raw);
  ASSERT_EQ(device_->GetRenderTargetData(target.get(), copy.get()), D3D_OK);
  D3DLOCKED_RECT locked;
  ASSERT_EQ(copy->LockRect(&locked, nullptr, D3DLOCK_READONLY), D3D_OK);
  width_ = desc.Width;
  height_ = desc.Height;
  pixels_.resize(size_t(width_) * height_);
  for (UINT y = 0; y < height_; ++y)
    std::memcpy(&pixels_[size_t(y) * width_],
                static_cast<const unsigned char *>(locked.pBits) + size_t(y) * locked.Pitch, width_ * sizeof(uint32_t));
  ASSERT_EQ(copy->UnlockRect(), D3D_OK);
}
