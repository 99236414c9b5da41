// The out-of-process automation transport: a local server exports its object
// on the session bus as the running instance of its class, and clients reach
// it with CoCreateInstance, which starts the server through the bus when it
// is not running yet. The bus object mirrors the class's type library: each
// method of the default interface is a bus method that becomes an
// IDispatch::Invoke on the object (the out argument is the invoke result),
// and each member of an event interface a signal. A client's references are
// the bus methods AddRef and Release of the interface org.qap.Automation; a
// client that leaves the bus loses the references it held.
//
// As in COM's multithreaded apartment, the server's object is called on as
// many threads as calls arrive: one call that waits never holds up another.
// An event the object fires before a call returns reaches the client's sinks
// before the call returns there. A client waits up to ten minutes for a
// reply, longer than any call of the suite's servers lasts.
//
// Values on the bus: BSTR as a string, the integer types and booleans as
// themselves, and a VARIANT argument as a variant holding one of those, or
// an empty array of variants for an empty VARIANT.
#pragma once

#include "platform/base/export.h"
#include "platform/com/class_object.h"
#include "platform/com/dispatch.h"

constexpr DWORD ACTIVEOBJECT_WEAK = 1;

// Exports object (which must answer IDispatch and, when its class has event
// interfaces, IConnectionPointContainer) on the session bus as described by
// the registered type library of clsid, then takes the class's well-known
// name. Client references become AddRef and Release calls on object; the
// export holds none of its own (weak registration is the only kind).
// Failure when the class's library is not registered, the bus cannot be
// reached or the name is owned by another process; nothing stays exported
// then.
QAP_EXPORT HRESULT RegisterActiveObject(IUnknown* object, REFCLSID clsid, DWORD flags,
                                        DWORD* registration);
// Gives up the name, waits for the calls still being served, ends the export
// and releases every client reference still held. Must not run on a thread
// that is serving a bus call (RPC_E_WRONG_THREAD).
QAP_EXPORT HRESULT RevokeActiveObject(DWORD registration, void* reserved);

// With CLSCTX_INPROC_SERVER, the class's in-process server makes the object
// when the class has one (CoGetClassObject). Otherwise, with
// CLSCTX_LOCAL_SERVER: connects to the running instance of clsid, starting
// its server through the bus when needed, and takes one reference on it.
// The object returned answers IDispatch (calls go to the server) and
// IConnectionPointContainer (the server's events reach the sinks advised
// here, on a thread of the connection). Releasing its last reference gives
// the server reference back. REGDB_E_CLASSNOTREG when the class is not
// registered; CO_E_SERVER_EXEC_FAILURE when its server cannot be reached.
QAP_EXPORT HRESULT CoCreateInstance(REFCLSID clsid, IUnknown* outer, DWORD context, REFIID iid,
                                    void** object);

// Whether some process owns the well-known name of clsid's server now.
QAP_EXPORT bool IsClassRunning(REFCLSID clsid);
