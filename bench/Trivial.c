/* The baseline for Orvane's start-up time: a static console program that prints one line. */
#include <stdio.h>

int main(void) {
    puts("Native USB");
    return 0;
}
