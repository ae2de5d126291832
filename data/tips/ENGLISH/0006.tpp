Turn pictures that were taken upright or askew with the arrow buttons: left, right or by 180 degrees. They can be mirrored too.
