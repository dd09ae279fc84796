// The device tests' read-back on the layer: its own hook, which reads the back
// buffer straight from OpenGL. (device_readback_windows.cpp is the form for the
// real Direct3D, from the public API.)
#include "d3d9/readback.h"
#include "device_fixture.h"

void DeviceTest::readBack() {
  ASSERT_EQ(glintwork::readBackBuffer(device_, &pixels_, &width_, &height_), D3D_OK);
  ASSERT_EQ(width_, kWidth);
  ASSERT_EQ(height_, kHeight);
}
