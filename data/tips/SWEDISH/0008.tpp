Med en övergångseffekt glider bilderna mjukt över i varandra. Välj en fast effekt eller låt slumpen avgöra.
