#include "calc_error.h"

namespace tenso {

Message ErrorMessage(const CalcError& e) { return {e.text, "Error", MessageIcon::Exclamation}; }

size_t Record(long k)
{
    // Only a failed read of a longer file leaves a PointCount above the arrays.
    if (k < 0 || k > MaxRecords)
        throw CalcError {"The curve has more than 2000 records."};
    return static_cast<size_t>(k);
}

size_t Valley(long k)
{
    if (k < 0 || k > MaxValleys)
        throw CalcError {"The curve has more than 200 valleys."};
    return static_cast<size_t>(k);
}

}  // namespace tenso
