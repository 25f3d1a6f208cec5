// Tdraw itself, for the files of the automation layer: the object, its engine
// and its output settings. Clients reach it only through its interfaces.
#ifndef PLOTVANE_AUTOMATION_DRAW_OBJECT_H_
#define PLOTVANE_AUTOMATION_DRAW_OBJECT_H_

#include <atomic>
#include <memory>

#include "automation/vtable.h"
#include "engine/chartix.h"
#include "runtime/interfaces.h"
#include "runtime/types.h"

namespace plotvane {

class Tdraw final : public IDispatch, public ISupportErrorInfo {
 public:
  // A new object with the engine's defaults and the automation object's own
  // (line-graph texts on their background, the automatic colours from the
  // start of their table). `outer` aggregates it when not null. Counts as a
  // live object of the server until freed.
  explicit Tdraw(IUnknown* outer);

  // The non-delegating IUnknown: what an aggregating outer object holds.
  IUnknown* InnerUnknown() { return &inner_; }
  TChartix& Graph() { return *Graph_; }

  // IUnknown, delegating to the controlling object.
  HRESULT QueryInterface(REFIID riid, void** ppvObject) override;
  ULONG AddRef() override;
  ULONG Release() override;

  // IDispatch, through the member table.
  HRESULT GetTypeInfoCount(UINT* pctinfo) override;
  HRESULT GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) override;
  HRESULT GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid,
                        DISPID* rgDispId) override;
  // Failures of the member itself set the thread's error information
  // (description = the message, source "Plotvane.Draw", GUID of the
  // member's interface, IDraw or IDraw2) and
  // return E_UNEXPECTED; with pExcepInfo given they return DISP_E_EXCEPTION
  // instead and copy the same details, with the HRESULT in scode, into it.
  // A member called, or drawing, after the calling thread's call was
  // cancelled (runtime/call_cancel.h) fails the same way with
  // RPC_E_CALL_CANCELED and "The call was cancelled."; the object may be
  // released safely afterwards.
  HRESULT Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags,
                 DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                 UINT* puArgErr) override;

  // ISupportErrorInfo: S_OK for IDraw, IDraw2 and IDispatch.
  HRESULT InterfaceSupportsErrorInfo(REFIID riid) override;

  // The automation object's own settings.
  Integer FJpegQuality = 100;  // JPEG quality; the encoder gets its low 8 bits
  bool FVerticalBars = true;   // bar and stacked outputs drawn vertically
  bool FUseLZW = true;         // stored and returned; no output depends on it
  Integer FDPI = 0;            // resolution written into PNG output when not 0

 private:
  // The identity of the object when it is aggregated: its own reference
  // count and interfaces, never delegated.
  class NonDelegatingUnknown final : public IUnknown {
   public:
    explicit NonDelegatingUnknown(Tdraw& owner) : owner_(owner) {}
    HRESULT QueryInterface(REFIID riid, void** ppvObject) override;
    ULONG AddRef() override;
    ULONG Release() override;

   private:
    Tdraw& owner_;
  };

  ~Tdraw();  // only the last Release frees the object

  NonDelegatingUnknown inner_{*this};
  // IDraw and IDraw2 bound early: the virtual table made from the member
  // table. Its IUnknown and IDispatch entries are this object's own.
  TVtableFace vtable_face_;
  IUnknown* controller_;  // the outer object, or our own inner unknown
  std::atomic<ULONG> refs_{1};
  std::unique_ptr<TChartix> Graph_;
};

}  // namespace plotvane

#endif  // PLOTVANE_AUTOMATION_DRAW_OBJECT_H_
