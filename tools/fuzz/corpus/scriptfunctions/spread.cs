function
	Foo::bar
(
)
{}function a(){};function b(){} FUNCTION C::D::e() {}