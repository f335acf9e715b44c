#include "general/Services.h"

#include <cstdio>
#include <cstdlib>

namespace kelvorn::detail {

void MissingService(const char* name)
{
    std::fprintf(stderr, "Kelvorn: no %s service is installed.\n", name);
    std::abort();
}

} // namespace kelvorn::detail
