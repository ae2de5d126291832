Schalten Sie die Bilder während der Vorführung selbst weiter, wenn Sie "Bilder mit Pfeiltasten weiterschalten" wählen. Mit der Leertaste halten Sie die Diashow an, mit Esc beenden Sie sie.
