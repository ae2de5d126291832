Skapa ett nytt bildspel med "Nytt bildspel". Ge det en titel; med den hittar du det igen i arkivet.
