Lägg till de markerade bilderna i bildspelet med knappen ">". Du kan också dra bilder med musen från källmappen till bildspelet.
