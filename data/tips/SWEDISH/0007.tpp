Visningstiden ställer du in bland bildspelets inställningar. Även värden som 2,5 sekunder går bra.
