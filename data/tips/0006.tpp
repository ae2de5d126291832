Schief aufgenommene oder hochkant fotografierte Bilder drehen Sie mit den Pfeil-Schaltflächen nach links, nach rechts oder um 180 Grad. Auch Spiegeln ist möglich.
