Bevor Sie Bilder zum Fotolabor schicken, schneiden Sie sie in der Bildbearbeitung auf das Seitenverhältnis des Fotopapiers zu. So fehlt auf dem fertigen Abzug nichts Wichtiges.
