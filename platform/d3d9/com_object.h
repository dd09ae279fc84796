// IUnknown for the layer's COM objects, Direct3D 9 and D3DX 9 alike: a reference
// count that starts at 1, deletion when Release brings it to 0 (unless the object
// says otherwise), and QueryInterface for IID_IUnknown and whatever interface ids
// the object names as its own.
#pragma once

#include <unknwn.h>

#include <atomic>

namespace glintwork {

template <class Interface>
class Object : public Interface {
 public:
  virtual ~Object() = default;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **ppvObj) override {
    if (!ppvObj) return E_POINTER;
    *ppvObj = nullptr;
    if (riid != IID_IUnknown && !ownIid(riid)) return E_NOINTERFACE;
    this->AddRef();
    *ppvObj = static_cast<Interface *>(this);
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override {
    const ULONG count = ++refs_;
    if (count == 1) referencedAgain();
    return count;
  }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --refs_;
    if (left == 0) unreferenced();
    return left;
  }

 protected:
  virtual bool ownIid(REFIID) const { return false; }
  // The last reference is gone; by default the object goes with it.
  virtual void unreferenced() { delete this; }
  // A first reference again, to an object that something else kept alive meanwhile.
  virtual void referencedAgain() {}

 private:
  std::atomic<ULONG> refs_{1};
};

}  // namespace glintwork
