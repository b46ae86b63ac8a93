#pragma once

namespace nimbra::bench {

// Times the A4 poster at 300 dpi of a boundary view, as the command line writes it (PNG through
// its rows file), with --supersample 1 and 2 and as a resumed second half, each against the
// plain loop on one thread in the same run; quick: at 75 dpi. Whether the resumed file was the
// uninterrupted one and the half cost at most its goal.
bool ReportPoster(bool quick);

}  // namespace nimbra::bench
