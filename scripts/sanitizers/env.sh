# Sourced by the sanitizer and fuzz passes: how the sanitizers report.
SANITIZER_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# Leak suppressions match any frame of the allocating stack, and nearly every allocation of ours
# has Qt's event loop somewhere below it: keeping only the allocation's own frame and its caller
# lets them tell Qt's leaks (allocated inside Qt) from ours.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1:malloc_context_size=2
export LSAN_OPTIONS=suppressions=$SANITIZER_DIR/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
