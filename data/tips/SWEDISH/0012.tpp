Innan du skickar bilder till ett fotolabb kan du beskära dem i bildredigeringen till fotopapperets sidförhållande, så att inget viktigt saknas på kopian.
