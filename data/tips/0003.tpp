Markierte Bilder übernehmen Sie mit der Schaltfläche ">" in die Diashow. Sie können Bilder auch einfach mit der Maus aus der Liste des Quellordners in die Diashow ziehen.
