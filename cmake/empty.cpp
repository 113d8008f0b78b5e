// Stands in for a source folder that has no files yet.
