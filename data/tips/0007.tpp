Die Anzeigedauer legen Sie in den Einstellungen der Diashow fest. Auch Werte wie 2,5 Sekunden sind möglich.
