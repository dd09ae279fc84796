/* COM basics for the Direct3D 9 subset: IUnknown and the interface macros. C++ only;
 * the layer implements interfaces as abstract classes with virtual methods. */
#ifndef GLINTWORK_UNKNWN_H
#define GLINTWORK_UNKNWN_H

#include "windef.h"

#ifndef __cplusplus
#error "The Direct3D 9 headers of this layer need C++."
#endif

#define interface struct
#define STDMETHOD(method) virtual HRESULT STDMETHODCALLTYPE method
#define STDMETHOD_(type, method) virtual type STDMETHODCALLTYPE method
#define PURE = 0
#define THIS_
#define THIS void
#define DECLARE_INTERFACE(iface) interface iface
#define DECLARE_INTERFACE_(iface, base) interface iface : public base

#define MAKE_HRESULT(sev, fac, code) \
  ((HRESULT)(((unsigned long)(sev) << 31) | ((unsigned long)(fac) << 16) | ((unsigned long)(code))))

inline bool operator==(const GUID &a, const GUID &b) {
  if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) return false;
  for (int i = 0; i < 8; ++i)
    if (a.Data4[i] != b.Data4[i]) return false;
  return true;
}
inline bool operator!=(const GUID &a, const GUID &b) { return !(a == b); }

/* {00000000-0000-0000-C000-000000000046} */
static const IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

DECLARE_INTERFACE(IUnknown) {
  STDMETHOD(QueryInterface)(REFIID riid, void **ppvObj) PURE;
  STDMETHOD_(ULONG, AddRef)(THIS) PURE;
  STDMETHOD_(ULONG, Release)(THIS) PURE;
};
typedef IUnknown *LPUNKNOWN;

#endif
