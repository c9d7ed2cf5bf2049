// Included beside its includer, without a folder.
