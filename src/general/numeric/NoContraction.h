#pragma once
// Included first by a file whose vector paths must round as its plain code does: a fused
// multiply-add rounds once where a multiply and an add round twice, and the AVX2 and AVX-512
// paths have it at hand. Contraction is off for the rest of the including file.

#if defined(__clang__)
#pragma clang fp contract(off)
#elif defined(__GNUC__)
#pragma GCC optimize("fp-contract=off")
#endif
