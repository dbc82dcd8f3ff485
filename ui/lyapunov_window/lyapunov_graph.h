// State of the Lyapunov window's graph and fit, one record for the whole run.
//
// A value v of block m is drawn at pixel (trunc(m * xStep + 5), trunc(330 - v * yScale))
// of Image1: row 330 is the value 0, column 5 block 0, and yMax lands on row 0.
// The single-precision fields are stored as float on purpose: the graph's
// scales have always been rounded to single precision.
#pragma once

namespace trapezola {

struct LyapunovGraphRecord {
  int blockSize = 0;      // bounces per block, from Edit1 at the start of a series
  int blockCount = 0;     // blocks per series, from Edit2
  float xStep = 4.0f;     // pixels per block: 400 div blockCount
  float yScale = 0.02f;   // pixels per unit of lg(Tr): 330 / yMax
  float yMax = 40000.0f;  // the value at the top of the graph
  float lgTrMax = 0.0f;   // largest value of the last series, never below 0
  int fitStart = 0;       // start of the fit window (bottom track bar)
  int fitEndSkip = 0;     // blocks cut from the end of the fit window (top track bar)
  double gradient = 0;    // last fitted slope per bounce
};

extern LyapunovGraphRecord LyapunovGraph;

// Image1's column of block m and row of value v under the current xStep and
// yScale, truncated toward zero.
int graphColumn(double block);
int graphRow(double value);

}  // namespace trapezola
