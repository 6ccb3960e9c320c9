#pragma once

#include <oaidl.h>

#include <string>
#include <vector>

#include "com/variant.h"

namespace svctune::host {

// Late-bound calls by name through IDispatch (GetIDsOfNames, then Invoke). A member the object
// does not have answers DISP_E_UNKNOWNNAME; an error raised by the member is returned as its
// HRESULT, with its description in error when one is given.
HRESULT GetProperty(IDispatch* object, const wchar_t* name, com::Variant& value,
                    std::wstring* error = nullptr);
HRESULT PutProperty(IDispatch* object, const wchar_t* name, const VARIANT& value,
                    std::wstring* error = nullptr);
HRESULT PutRefProperty(IDispatch* object, const wchar_t* name, IDispatch* value,
                       std::wstring* error = nullptr);
// arguments in declaration order.
HRESULT CallMethod(IDispatch* object, const wchar_t* name, std::vector<VARIANT> arguments,
                   com::Variant* result = nullptr, std::wstring* error = nullptr);

}  // namespace svctune::host
