Mit einem Überblendeffekt gehen die Bilder weich ineinander über. Wählen Sie einen festen Effekt oder lassen Sie den Zufall entscheiden.
