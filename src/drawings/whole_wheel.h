// Whole wheels and wheel sets assembled from the tooth blocks of the tooth pictures: a wheel
// from one tooth block per tooth, the internal hub with the shaft rolled inside it, and one
// central wheel with planet wheels around it. Only inserts blocks and sets colours.
#pragma once

// Inserts "EVOLV" + part (and "ZAHN" + part when withToothShapes) once per tooth around the
// origin. Nothing while AbortFlag is set.
void DrawGearWheel(int part, bool withToothShapes);

// The internal hub from "EVOLV2" with the shaft's wheel "RAD1" rolled once around inside it.
void DrawRingGearImaging();

// Central wheel at the origin and planets wheels around it; selector 1: planets are gear 1,
// selector 2: planets are gear 2. rotationDeg is the rotation angle of gear 1 in degrees.
void DrawPlanetWheels(int planets, int selector, long double rotationDeg);
