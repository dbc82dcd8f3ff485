// The billiard table: four circular arcs derived from an isosceles trapezoid.
//
// Conventions: plane Cartesian coordinates, x to the right, y upwards, in table
// units. The bottom corners lie at x = -1 and x = 1; the table is symmetric about
// x = 0, and the origin is where the bisectors of the two bottom angles meet.
// Arcs are numbered counter-clockwise from corner 1 (top right): 1 top, 2 left,
// 3 bottom, 4 right. Angles are radians. The perimeter coordinate s is the arc
// length from corner 1, counter-clockwise; s1..s4 are the coordinates of corners
// 2, 3, 4 and of corner 1 again (s4 is the perimeter length).
//
// The geometry does no clamping and no range checks: parameters outside
// 0 < b <= 1, rr >= 1 give non-finite or meaningless numbers, which the plotting
// treats as outside the visible window.
#pragma once

namespace trapezola {

// The double value of pi that the whole program uses.
inline constexpr double pi = 3.141592653589793;

struct TablePoint {
  double x = 0;
  double y = 0;
};

// A table built from its two shape parameters. As a value it is built once by
// buildTable and then only read, so any number of orbits, on any number of
// threads, can run on one table.
struct BilliardTable {
  double b = 0;       // half length of the top side; x of corner 1
  double rr = 0;      // radiusSide / radiusBottom, shown as "R8/R"
  double height = 0;  // height of the trapezoid
  double theta = 0;   // angle between a leg and the bottom side
  TablePoint corner1, corner2, corner3, corner4;
  double legMidSlope = 0;  // slope from the origin to the right leg's midpoint
  TablePoint centre1, centre2, centre3, centre4;
  double radiusTop = 0;
  double radiusSide = 0;
  double radiusBottom = 1.0;
  double delta = 0;            // half opening angle of arc 1
  double halfAngleSide = 0;    // half opening angle of arcs 2 and 4
  double halfAngleBottom = 0;  // half opening angle of arc 3
  double sideTilt = 0;         // pi/2 - theta; buildGeometry leaves the record's alone
  double s1 = 0, s2 = 0, s3 = 0, s4 = 0;
};

// The window's table: the one record that the table fields, the picture loader
// and "go" rebuild, and that launch and the pointer read-out tilt (sideTilt).
// Everything below the windows takes a BilliardTable, so the record is passed
// as one.
struct TableGeometryRecord : BilliardTable {};

// The one table of the program.
extern TableGeometryRecord TableGeometry;

// Bounces per pass of an orbit run (a run makes 1000 passes).
extern int repeatCount;

// The table with shape parameters b and rr, every field derived, sideTilt
// included (pi/2 - theta, the value every launch sets). Writes nothing else.
BilliardTable buildTable(double b, double rr);

// Rebuilds the window's record: every TableGeometry field but sideTilt from b
// and rr, as buildTable derives them; lowers PhaseWindow.sMax to the perimeter
// length where it is larger.
void buildGeometry(double b, double rr);

// The start angle in degrees as radians, rounded once after the product with an
// extended-precision 1/180: the angle whose cosine setupTable stores.
double startAngleRadians(double startAngleDegrees);

// buildGeometry, then the start values of an orbit run: BallState.startS,
// BallState.cosPhi (from the angle in degrees against the counter-clockwise
// tangent) and repeatCount.
void setupTable(double b, double rr, double startDistance, double startAngleDegrees, int repeat);

}  // namespace trapezola
