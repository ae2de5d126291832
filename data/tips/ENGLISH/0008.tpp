A transition effect blends one picture softly into the next. Choose a fixed effect or let chance decide.
