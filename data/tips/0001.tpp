Eine neue Diashow legen Sie über "Neue Diashow anlegen" an. Geben Sie ihr einen Titel, unter dem Sie sie später im Archiv wiederfinden.
