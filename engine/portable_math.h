// exp and log written with IEEE-754 additions, multiplications and divisions only, so that
// every platform (glibc, MinGW's runtime, the WebAssembly page's) computes the same bits:
// the C libraries' own exp and log may differ in the last bit, and a SCORE2 percentage
// near a rounding boundary would then be shown differently. Both are the classic fdlibm
// algorithms (error below one unit in the last place), for finite arguments.
#pragma once

namespace vessane {

double PortableExp(double x);
double PortableLog(double x);  // x > 0

}  // namespace vessane
