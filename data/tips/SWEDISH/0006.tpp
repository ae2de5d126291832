Vrid bilder som är tagna på höjden eller snett med pilknapparna: åt vänster, åt höger eller 180 grader. Bilderna kan också spegelvändas.
