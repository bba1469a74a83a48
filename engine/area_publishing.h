// The gauge's side of the two shared areas: creation at install, publication, and
// the final record and release at kill. An area that cannot be created or mapped
// stays absent (its mapping null) for the rest of the module's life; every routine
// here then does nothing for it.
#pragma once

// Creates (or opens, when another module made it) COM_AREA, clears comImage and
// copies it into the view.
void CreateComArea();

// Creates (or opens) PGR_AREA and copies the whole leg table into it.
void CreatePgrArea();

// Copies the whole leg table (6831 bytes, whatever legCount is) into PGR_AREA.
void PublishProgram();

// Copies the whole comImage (118 bytes) into COM_AREA.
void PublishComImage();

// Publishes comImage once more with modelCode 0, so that readers see the unit as
// off once the module is gone, then releases both areas.
void ReleaseAreas();
