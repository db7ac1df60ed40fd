// What the pattern model asks of the windows around it: the pattern list
// pane, the work window and the two rulers of the child frame. The model sees
// them only through these small interfaces; the window program installs its
// real panes in the three process-wide pointers, tests install recording
// stand-ins (tests/model/support/fake_shell.h). With no shell installed every
// call is a no-op and every getter gives its default, so the model also runs
// headless (readers in a command-line tool, tests).
//
// Names as the model calls them:
//   CPatternListBox::AddPiece / RemovePiece / ResetContent / SelectPiece
//       -> IPatternListBox, reached through g_pListPane (the list box of the
//          pattern list pane)
//   CRulerBar::Refresh -> IRulerBar, the top and left rulers of g_pChildFrame
//   CWorkWindow::GetOriginX ... ZoomToFit, Redraw, GetClientRect, GetDC,
//   CWorkWindow::LoadMode and CWorkWindow::Extent -> IWorkWindow, g_pWorkWindow
#pragma once

#include <cstdint>
#include <optional>

#include "platform/geometry_types.h"
#include "platform/win_types.h"

class CDC;
class CPieceRecord;

// The list of the style's pieces in the upper pane. Entries carry their piece
// as item data; every change lays the pane out again.
class IPatternListBox {
 public:
  virtual ~IPatternListBox() = default;
  // Adds an entry for the piece; returns the new entry's index.
  virtual int AddPiece(CPieceRecord* piece) = 0;
  // Deletes the first entry that holds the piece (nothing when none does).
  virtual void RemovePiece(CPieceRecord* piece) = 0;
  // Deletes every entry.
  virtual void ResetContent() = 0;
  // Selects the entry that holds the piece (unless it is already selected);
  // clears the selection when no entry holds it, including for null.
  virtual void SelectPiece(CPieceRecord* piece) = 0;
};

// One ruler beside the work window.
class IRulerBar {
 public:
  virtual ~IRulerBar() = default;
  // Repaints the ruler at once.
  virtual void Refresh() = 0;
};

// The lower pane: holds the work window and its two rulers.
class IChildFrame {
 public:
  virtual ~IChildFrame() = default;
  // Null when the ruler does not exist.
  virtual IRulerBar* GetTopRuler() = 0;
  virtual IRulerBar* GetLeftRuler() = 0;
};

// The view that draws the work-area pieces to scale.
class IWorkWindow {
 public:
  virtual ~IWorkWindow() = default;

  // View origin in model units and scale in model units per screen pixel.
  virtual int32_t GetOriginX() const = 0;
  virtual int32_t GetOriginY() const = 0;
  virtual double GetScale() const = 0;
  // Each stores its value only when it differs and then redraws both rulers.
  virtual void SetOriginX(int32_t x) = 0;
  virtual void SetOriginY(int32_t y) = 0;
  virtual void SetScale(double scale) = 0;

  // Gives a piece that enters the work area its placed rectangle.
  virtual void PlacePiece(CPieceRecord* piece) = 0;
  // Scales and centres the view on the work-area extent.
  virtual void ZoomToFit() = 0;
  // Invalidates both rulers and the work window.
  virtual void Redraw() = 0;

  // The client area in device pixels.
  virtual void GetClientRect(CRect* rect) const = 0;
  // A device context of the work window, for drawing outside a repaint and
  // for measuring text; give it back with ReleaseDC. May be null.
  virtual CDC* GetDC() = 0;
  virtual void ReleaseDC(CDC* dc) = 0;

  // The first word of the native file being read while a native reader runs
  // the piece operations, else 0. The model only reads it (see kLoadMode*).
  int32_t LoadMode = 0;
  // The union of the placed rectangles of the work-area pieces, as last
  // stored by the work-area extent update.
  CRect Extent;
};

// Load-mode words the model tests.
inline constexpr int32_t kLoadModeFlatNative = 0x55555555;  // corner parameters turned the flat way
inline constexpr int32_t kLoadModeSkipNotchRefit = 88;       // no notch refit after a reversal
inline constexpr int32_t kLoadModeRawCopy = 99;              // no curve rebuild on move and clone

// The installed shell; null until the window program (or a test) sets them.
// Not owned.
extern IWorkWindow* g_pWorkWindow;
extern IPatternListBox* g_pListPane;
extern IChildFrame* g_pChildFrame;

// The work window's load-mode word. Without a work window (a read in a
// test, a command-line tool or a fuzzer) the word a ScopedLoadMode set, so
// that a headless read turns its pieces exactly as one with a window; 0
// otherwise.
int32_t GetWorkWindowLoadMode();

// Sets the load-mode word for the life of the object: the work window's, or
// the process-wide one GetWorkWindowLoadMode gives while no work window is
// installed. The word found at the start is put back at the end (0 outside a
// read). The readers set it around the piece operations that test it.
class ScopedLoadMode {
 public:
  explicit ScopedLoadMode(int32_t mode);
  ~ScopedLoadMode();
  ScopedLoadMode(const ScopedLoadMode&) = delete;
  ScopedLoadMode& operator=(const ScopedLoadMode&) = delete;

 private:
  IWorkWindow* window_;
  int32_t previous_;
};

// The work window's scale (model units per pixel), which the pick
// tolerances of the piece operations are measured in. Without a work window
// the scale a ScopedViewScale set, else 1.0.
double GetWorkWindowScale();

// Sets the work window's scale for the life of the object (or, without a
// work window, the one GetWorkWindowScale gives) and puts back the scale
// found at the start, or `after` when given, on every path out. The readers
// set it around the repairs whose tolerances depend on it.
class ScopedViewScale {
 public:
  explicit ScopedViewScale(double during, std::optional<double> after = std::nullopt);
  ~ScopedViewScale();
  ScopedViewScale(const ScopedViewScale&) = delete;
  ScopedViewScale& operator=(const ScopedViewScale&) = delete;

 private:
  IWorkWindow* window_;
  double kept_;
  std::optional<double> after_;
};

// Marks a piece of the work window: inverts a dotted frame (three pixels on,
// three off, clockwise from the top-left corner) 6 pixels outside the piece's
// model box as the work window maps it (its scale, the piece's own origin).
// Drawn in XOR: a second call erases it. Nothing for a null piece or when no
// work window is installed. Only the part of the frame within 32768 pixels of
// the device origin is walked, so that a huge or empty box cannot stall.
void DrawPieceSelectionFrame(CDC* dc, CPieceRecord* piece);

// Writes a vertex's point number in decimal, top left at device point (x, y),
// in the given colour, with the stock GUI font at 14 pixels. Nothing when the
// number is 0 or less. The device context's state is left as it was.
void DrawPointNumber(CDC* dc, int x, int y, COLORREF colour, int number);
